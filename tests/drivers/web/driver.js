// The test driver's side in the page: real DOM events, sent where the browser would send them.
mergeInto(LibraryManager.library, {
  $TkDrive__deps: ['$TkWeb'],
  $TkDrive: {
    pressed: null, // where the last press went: its release follows it, as a captured pointer
    seen: {},
    send: function(target, type, init) {
      var Kind = /^pointer/.test(type) ? PointerEvent
               : /^key/.test(type) ? KeyboardEvent : MouseEvent;
      init.bubbles = true;
      init.cancelable = true;
      init.composed = true;
      init.view = window;
      if (Kind === PointerEvent) {
        init.pointerId = 1;
        init.pointerType = 'mouse';
        init.isPrimary = true;
      }
      target.dispatchEvent(new Kind(type, init));
    },
    mouseInit: function(x, y, button, buttons, shift, detail) {
      return { clientX: x, clientY: y, button: button, buttons: buttons, detail: detail,
               shiftKey: !!(shift & 1), ctrlKey: !!(shift & 2), altKey: !!(shift & 4) };
    },
    element: function(id) { var w = TkWeb.windows[id]; return w && w.el; },
    keys: ['Enter', ' ', 'Escape', 'Tab', 'ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown', 'Home',
      'End'], // by tk::testing::Key
  },

  // Lets the browser run what it has queued (timers, decoding, painting), then resumes.
  tk_web_wake_soon__deps: ['$TkWeb'],
  tk_web_wake_soon: function() {
    if (!TkWeb.channel) {
      TkWeb.channel = new MessageChannel();
      TkWeb.channel.port1.onmessage = function() { TkWeb.notify(); };
    }
    TkWeb.channel.port2.postMessage(0);
  },

  tk_web_drive_mouse__deps: ['$TkDrive'],
  tk_web_drive_mouse: function(id, kind, button, buttons, shift, x, y, detail) {
    var el = TkDrive.element(id);
    if (!el) return;
    var r = el.getBoundingClientRect();
    var init = TkDrive.mouseInit(r.left + x, r.top + y, button, buttons, shift, detail);
    if (kind === 0) {
      // A press goes where the window system would send it: to a modal box over the window,
      // else into the window (even where it is off the screen or minimised).
      var target = document.elementFromPoint(r.left + x, r.top + y);
      if (!target || (!el.contains(target) && !document.querySelector('dialog[open]'))) target = el;
      TkDrive.pressed = target;
      TkDrive.send(target, 'pointerdown', init);
      TkDrive.send(target, 'mousedown', init);
    } else if (kind === 1) {
      var to = TkDrive.pressed && TkDrive.pressed.isConnected ? TkDrive.pressed : el;
      TkDrive.pressed = null;
      TkDrive.send(to, 'pointerup', init);
      TkDrive.send(to, 'mouseup', init);
    } else {
      TkDrive.send(el, 'pointermove', init);
      TkDrive.send(el, 'mousemove', init);
    }
  },

  tk_web_drive_click_control__deps: ['$TkDrive'],
  tk_web_drive_click_control: function(id, index) {
    var c = TkWeb.windows[id].controls[index];
    var r = c.getBoundingClientRect();
    var x = r.left + r.width / 2, y = r.top + r.height / 2;
    var target = document.elementFromPoint(x, y) || document.body;
    var init = TkDrive.mouseInit(x, y, 0, 1, 0, 1);
    TkDrive.send(target, 'pointerdown', init);
    TkDrive.send(target, 'mousedown', init);
    init.buttons = 0;
    TkDrive.send(target, 'pointerup', init);
    TkDrive.send(target, 'mouseup', init);
    TkDrive.send(target, 'click', init);
  },

  tk_web_drive_key__deps: ['$TkDrive'],
  tk_web_drive_key: function(id, key, shift) {
    var el = TkDrive.element(id);
    var active = document.activeElement;
    var target = active && el.contains(active) ? active : el;
    var init = { key: TkDrive.keys[key], shiftKey: !!(shift & 1), ctrlKey: !!(shift & 2),
                 altKey: !!(shift & 4) };
    TkDrive.send(target, 'keydown', init);
    TkDrive.send(target, 'keyup', init);
  },

  tk_web_drive_focused__deps: ['$TkDrive'],
  tk_web_drive_focused: function(id) {
    var active = document.activeElement;
    var c = active && TkDrive.element(id).contains(active) && active.closest('[data-control]');
    return c ? +c.dataset.index : -1;
  },

  tk_web_drive_close__deps: ['$TkDrive'],
  tk_web_drive_close: function(id) { TkDrive.element(id).dispatchEvent(new Event('close')); },

  tk_web_drive_in_taskbar__deps: ['$TkDrive'],
  tk_web_drive_in_taskbar: function(id) {
    var task = TkWeb.windows[id].task;
    return task && task.isConnected ? 1 : 0;
  },

  tk_web_drive_framed__deps: ['$TkDrive'],
  tk_web_drive_framed: function(id) {
    var s = getComputedStyle(TkDrive.element(id));
    return parseFloat(s.borderTopWidth) > 0 || parseFloat(s.borderLeftWidth) > 0 ? 1 : 0;
  },

  tk_web_drive_client_size__deps: ['$TkDrive'],
  tk_web_drive_client_size: function(id, size) {
    var el = TkDrive.element(id);
    HEAP32[size >> 2] = el.clientWidth;
    HEAP32[(size >> 2) + 1] = el.clientHeight;
  },

  // The window's canvas brought up to date, or a fresh one for another ratio.
  tk_web_drive_paint_now__deps: ['$TkDrive'],
  tk_web_drive_paint_now: function(id) {
    TkWeb.windows[id].dirty = true;
    TkWeb.paint(id);
  },
  tk_web_drive_begin_offscreen__deps: ['$TkDrive'],
  tk_web_drive_begin_offscreen: function(width, height, ratio) {
    var canvas = document.createElement('canvas');
    canvas.width = width * ratio;
    canvas.height = height * ratio;
    TkWeb.begin(canvas, ratio);
  },
  // RGBA rows of the window's canvas (id > 0) or the offscreen one, in memory from malloc.
  tk_web_drive_read__deps: ['$TkDrive'],
  tk_web_drive_read: function(id, size) {
    var canvas = id > 0 ? TkWeb.windows[id].canvas : TkWeb.ctx.canvas;
    if (id <= 0) TkWeb.ctx = null;
    var data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    var out = _malloc(data.length);
    HEAPU8.set(data, out);
    HEAP32[size >> 2] = canvas.width;
    HEAP32[(size >> 2) + 1] = canvas.height;
    return out;
  },

  tk_web_drive_control_background__deps: ['$TkDrive'],
  tk_web_drive_control_background: function(id, index) {
    var c = TkWeb.windows[id].controls[index];
    var m = getComputedStyle(c).backgroundColor.match(/\d+/g) || [0, 0, 0];
    return (m[0] << 16) | (m[1] << 8) | m[2];
  },

  // Waits for the next message box, notes what it shows, runs the test's `meanwhile` and
  // answers with a key, as a user would.
  tk_web_drive_answer_next__deps: ['$TkDrive'],
  tk_web_drive_answer_next: function(key, driver) {
    if (TkDrive.observer) TkDrive.observer.disconnect();
    TkDrive.seen = {};
    var observer = TkDrive.observer = new MutationObserver(function() {
      var d = document.querySelector('dialog[data-messagebox][open]');
      if (!d) return;
      observer.disconnect();
      TkDrive.observer = null;
      var p = d.querySelector('p');
      TkDrive.seen = {
        title: d.querySelector('h1').textContent,
        text: p.textContent,
        information: p.dataset.icon === 'information' ? '1' : '',
        buttons: Array.prototype.map.call(d.querySelectorAll('button'),
                                          function(b) { return b.textContent; }).join('\n'),
      };
      _tk_web_drive_meanwhile(driver);
      var active = document.activeElement;
      var init = { key: TkDrive.keys[key] };
      TkDrive.send(active && d.contains(active) ? active : d, 'keydown', init);
    });
    observer.observe(document.body, { childList: true, subtree: true, attributes: true });
  },

  // The window as assistive technology reads the page: elements with a role, given or the
  // element's own, in document order, one line each; rows only group the cells.
  tk_web_drive_accessible__deps: ['$TkDrive'],
  tk_web_drive_accessible: function(id) {
    var roles = { region: 'window', alert: 'alert', status: 'status', grid: 'table',
                  gridcell: 'cell', button: 'button', checkbox: 'check box', link: 'link' };
    var el = TkDrive.element(id), lines = [];
    [el].concat(Array.prototype.slice.call(el.querySelectorAll('*'))).forEach(function(e) {
      var role = e.getAttribute('role') || (e.tagName === 'BUTTON' ? 'button'
               : e.type === 'checkbox' ? 'checkbox' : null);
      if (!roles[role] || !e.getClientRects().length) return;
      var label = e.labels && e.labels.length ? e.labels[0].textContent : e.textContent;
      var line = roles[role] + ': ' + (e.getAttribute('aria-label') || label);
      if (role === 'gridcell' && e.hasAttribute('aria-description'))
        line += ' = ' + e.getAttribute('aria-description');
      if (e.checked || e.getAttribute('aria-checked') === 'true') line += ' (checked)';
      lines.push(line);
    });
    return allocateUTF8(lines.join('\n'));
  },

  tk_web_drive_seen__deps: ['$TkDrive'],
  tk_web_drive_seen: function(field) {
    return allocateUTF8(TkDrive.seen[['title', 'text', 'information', 'buttons'][field]] || '');
  },

  // Whether the program's loop sleeps in the browser, which then called us: no second wait.
  tk_web_drive_sleeping__deps: ['$TkWeb'],
  tk_web_drive_sleeping: function() { return TkWeb.wake ? 1 : 0; },

  tk_web_drive_picture_done__deps: ['$TkDrive'],
  tk_web_drive_picture_done: function(name, len) {
    return TkWeb.picture(TkWeb.str(name, len) + '.png').done ? 1 : 0;
  },
});
