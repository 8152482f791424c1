// The browser's side of the web backend: the page is the screen, each form an element with a
// canvas, the message box a modal <dialog>. Input is posted to the C++ side's queue, which the
// program's loop handles one event after another.
mergeInto(LibraryManager.library, {
  $TkWeb: {
    windows: {}, // id -> { el, canvas, task }
    ctx: null, // the canvas being painted
    pictures: {}, // file -> { img, ready }
    timers: {}, // the timer table's id -> the browser's interval
    wake: null, // resumes the loop that waits for events
    z: 1,
    // The C++ enums by name, in their order (WebPlatform.cpp asserts it).
    Role: { Window: 0, Alert: 1, PushButton: 2, CheckBox: 3, Text: 4, Link: 5, Grid: 6, Cell: 7 },
    Align: { Left: 0, Center: 1 },
    State: { Normal: 0, Minimized: 1, Maximized: 2 },
    Button: { Left: 1, Right: 2, Middle: 4 },
    str: function(ptr, len) { return len ? UTF8ToString(ptr, len) : ''; },
    colour: function(rgb) {
      return 'rgb(' + (rgb >> 16 & 255) + ',' + (rgb >> 8 & 255) + ',' + (rgb & 255) + ')';
    },
    // `faces`: the design's face, then the faces with its metrics, as the C++ side lists them
    // ("a, b"), so that texts fit the layouts where the design's face is missing.
    font: function(faces, px, bold) {
      return (bold ? 'bold ' : '') + px + 'px ' +
          faces.split(', ').map(function(f) { return '"' + f + '"'; }).join(', ') +
          ', sans-serif';
    },
    screen: function() { return document.getElementById('screen') || document.body; },
    // Out of sight and out of the taskbar; the focus goes back to the window on top, as a
    // window system gives it.
    hide: function(w) {
      var focused = w.el.contains(document.activeElement);
      w.shown = false;
      w.el.style.display = 'none';
      if (w.task) w.task.remove();
      w.task = null;
      var top = null;
      for (var k in TkWeb.windows) {
        var o = TkWeb.windows[k];
        if (o.el.style.display === 'block' && (!top || +o.el.style.zIndex > +top.el.style.zIndex))
          top = o;
      }
      if (focused && top) TkWeb.focus(top, top.focusId);
    },
    taskbar: function() { return document.querySelector('[data-taskbar]'); },
    // A picture resource is a PNG beside the page. Before the program runs, the core's choice
    // (choosePicture) made here: the artwork drawn twice as large above a ratio of 1.5.
    pictureFile: function(name, ratio) {
      return name + (ratio > 1.5 ? '@2x' : '') + '.png';
    },
    picture: function(file) {
      var p = TkWeb.pictures[file];
      if (!p) {
        // The page's head preloads the artwork for its density: this one comes from there.
        p = TkWeb.pictures[file] = { img: new Image(), ready: false };
        p.img.src = file;
        // Decoded, or failed: painted with it, or without it.
        p.loaded = p.img.decode().catch(function() {}).then(function() {
          p.ready = p.img.naturalWidth > 0;
          p.done = true;
          for (var id in TkWeb.windows) TkWeb.invalidate(+id);
          TkWeb.notify();
        });
      }
      return p;
    },
    invalidate: function(id) {
      var w = TkWeb.windows[id];
      if (!w || w.dirty) return;
      w.dirty = true;
      requestAnimationFrame(function() { TkWeb.paint(id); });
    },
    paint: function(id) {
      var w = TkWeb.windows[id];
      if (!w || !w.dirty) return;
      w.dirty = false;
      var ratio = window.devicePixelRatio || 1;
      var width = Math.round(w.width * ratio), height = Math.round(w.height * ratio);
      if (w.canvas.width !== width || w.canvas.height !== height) {
        w.canvas.width = width;
        w.canvas.height = height;
      }
      TkWeb.begin(w.canvas, ratio);
      _tk_web_paint(TkWeb.platform, id);
      TkWeb.ctx = null;
      if (!TkWeb.firstFrame && TkWeb.pictureDrawn) {
        TkWeb.firstFrame = true;
        performance.mark('tk-first-frame');
        var loading = document.querySelector('[data-loading]');
        if (loading) loading.hidden = true;
      }
    },
    begin: function(canvas, ratio) {
      var ctx = canvas.getContext('2d');
      ctx.setTransform(ratio, 0, 0, ratio, 0, 0);
      ctx.imageSmoothingQuality = 'high';
      TkWeb.ctx = ctx;
      TkWeb.ratio = ratio;
    },
    shift: function(e) { return (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0); },
    mouse: function(w, id, e, type) {
      // A control's own input, or assistive technology's click on the overlay (the real mouse
      // passes through it).
      if (e.target.closest('[data-control],[data-accessible]')) return;
      // A press activates the window and leaves the focus on its focused node.
      if (type === 0) {
        e.preventDefault();
        if (!w.el.contains(document.activeElement)) TkWeb.focus(w, w.focusId);
      }
      // DOM buttons 0 left, 1 middle, 2 right. Others go unheard.
      var B = TkWeb.Button, button = [B.Left, B.Middle, B.Right][e.button] || 0;
      if (type !== 1 && button === 0) return;
      // The second press of a double click arrives as the double click, as on the desktop.
      if (type === 0 && e.detail > 1 && e.detail % 2 === 0) type = 3;
      TkWeb.send(w, id, type, type === 1 ? TkWeb.held(e.buttons) : button, TkWeb.shift(e), e);
    },
    // The DOM's held buttons (1 left, 2 right, 4 middle) as TkWeb.Button's.
    held: function(buttons) {
      var B = TkWeb.Button;
      return (buttons & 1 ? B.Left : 0) | (buttons & 2 ? B.Right : 0) | (buttons & 4 ? B.Middle : 0);
    },
    // A point of the page in the window's own pixels: a CSS zoom around the game scales the
    // window's box on the page but not its layout.
    send: function(w, id, type, button, shift, at) {
      var r = w.el.getBoundingClientRect(), scale = r.width / w.width || 1;
      _tk_web_mouse(TkWeb.platform, id, type, button, shift, (at.clientX - r.left) / scale,
                    (at.clientY - r.top) / scale);
    },
    // Touch and pen act as the left button, and a press held still is the right one. A press
    // is sent once it is known to be a tap, a drag or a long press; a second tap close by soon
    // after is the double click.
    holdMs: 500,
    slop: 8, // page pixels a finger may wander and still tap or hold
    touch: function(w, id, e) {
      if (e.pointerType === 'mouse' || !e.isPrimary) return;
      var t = w.touch;
      if (e.type === 'pointerdown') {
        if (e.target.closest('[data-control],[data-accessible]')) return;
        e.preventDefault(); // no mouse events made up after it
        if (!w.el.contains(document.activeElement)) TkWeb.focus(w, w.focusId);
        t = w.touch = { x: e.clientX, y: e.clientY, at: e, pressed: false };
        t.hold = setTimeout(function() {
          t.hold = null;
          if (t.pressed || w.touch !== t) return;
          w.touch = null;
          TkWeb.send(w, id, 0, 2, 0, t.at);
          TkWeb.send(w, id, 2, 2, 0, t.at);
        }, TkWeb.holdMs);
        return;
      }
      if (!t) return;
      var moved = Math.abs(e.clientX - t.x) > TkWeb.slop || Math.abs(e.clientY - t.y) > TkWeb.slop;
      if (!t.pressed && (moved || e.type !== 'pointermove')) {
        clearTimeout(t.hold);
        if (e.type === 'pointercancel') { w.touch = null; return; }
        t.pressed = true;
        var last = TkWeb.lastTap, double = last && e.timeStamp - last.time < TkWeb.holdMs &&
            Math.abs(last.x - t.x) <= 2 * TkWeb.slop && Math.abs(last.y - t.y) <= 2 * TkWeb.slop;
        TkWeb.lastTap = double ? null : { time: e.timeStamp, x: t.x, y: t.y };
        TkWeb.send(w, id, double ? 3 : 0, 1, 0, t.at);
      }
      if (!t.pressed) return;
      if (e.type === 'pointermove') {
        TkWeb.send(w, id, 1, 1, 0, e);
      } else {
        w.touch = null;
        TkWeb.send(w, id, 2, 1, 0, e);
      }
    },
    // A window dragged to a screen of another density, or a zoom: paint again for it.
    watchRatio: function() {
      if (TkWeb.ratioQuery) return;
      TkWeb.ratioQuery = window.matchMedia('(resolution: ' + (window.devicePixelRatio || 1) + 'dppx)');
      TkWeb.ratioQuery.addEventListener('change', function() {
        TkWeb.ratioQuery = null;
        TkWeb.watchRatio();
        for (var id in TkWeb.windows) TkWeb.invalidate(+id);
      }, { once: true });
    },
    // The page's screen resized (the browser window, a zoom, a turned device): windows come back
    // inside it. The observer's first report is the size it starts with.
    watchScreen: function() {
      if (typeof ResizeObserver === 'undefined') return;
      var seen = null;
      new ResizeObserver(function() {
        var s = TkWeb.screen(), size = s.clientWidth + 'x' + s.clientHeight;
        if (seen !== null && size !== seen) _tk_web_screen_changed(TkWeb.platform);
        seen = size;
      }).observe(TkWeb.screen());
    },
    // The overlay: a window's accessible tree (Backend.hpp) as elements with ARIA roles, each
    // where its node is painted. Their text is transparent and the real mouse passes through
    // them to the canvas; the focused one shows an outline (shell.html).
    // ARIA's role for a painted node's; the window and texts have none of their own.
    aria: function(role) {
      var R = TkWeb.Role;
      return role === R.PushButton ? 'button' : role === R.CheckBox ? 'checkbox'
           : role === R.Link ? 'link' : role === R.Grid ? 'grid' : role === R.Cell ? 'gridcell'
           : null;
    },
    keys: ['Tab', 'Enter', ' ', 'ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown', 'Home', 'End'],
    sent: [], // nodes for the next apply
    setAttr: function(el, name, value) {
      if (value === null) {
        if (el.hasAttribute(name)) el.removeAttribute(name);
      } else if (el.getAttribute(name) !== value) {
        el.setAttribute(name, value);
      }
    },
    setText: function(el, text) { if (el.textContent !== text) el.textContent = text; },
    element: function(role) {
      var el = document.createElement('div');
      if (role) el.setAttribute('role', role);
      return el;
    },
    // A box [left, top, width, height] of the window, placed within its parent's box.
    place: function(el, box, parent) {
      el.box = box;
      var css = 'position:absolute;left:' + (box[0] - parent[0]) + 'px;top:' +
          (box[1] - parent[1]) + 'px;width:' + box[2] + 'px;height:' + box[3] + 'px';
      if (el.placed !== css) el.style.cssText = el.placed = css;
    },
    // Puts `el` after `prev`, moving it only when it is elsewhere: a moved element loses the focus.
    put: function(el, parent, prev) {
      var at = prev ? prev.nextSibling : parent.firstChild;
      if (el !== at) parent.insertBefore(el, at);
    },
    describe: function(a, el, n) {
      var R = TkWeb.Role;
      if (n.role === R.Text || n.role === R.Link) TkWeb.setText(el, n.name); // named by their text
      else TkWeb.setAttr(el, 'aria-label', n.name || null);
      TkWeb.setAttr(el, 'aria-description', (n.role === R.Cell ? n.value : n.description) || null);
      TkWeb.setAttr(el, 'aria-disabled', n.enabled ? null : 'true');
      el.action = n.action;
      // A roving tab stop: the focused cell, else the last one, else the first.
      if (n.role === R.Cell && (n.focused || !a.current)) {
        if (a.current) a.current.tabIndex = -1;
        a.current = el;
      }
      if (n.role === R.Link || n.role === R.Cell)
        el.tabIndex = n.focusable && (n.role === R.Link || el === a.current) ? 0 : -1;
    },
    // Node `node`'s element takes the focus: a native control, or a painted node's element.
    focus: function(w, node) {
      w.focusId = node;
      var c = w.controls[node];
      var el = c ? c.querySelector('input') || c : w.a11y && w.a11y.els[node];
      if (!el) return;
      TkWeb.focusing = true;
      el.focus({ preventScroll: true });
      TkWeb.focusing = false;
    },

    // Once the call that posted has returned: resumes the waiting loop, or where the browser
    // runs the loop, handles what was posted.
    notify: function() {
      if (TkWeb.wake) {
        queueMicrotask(function() {
          var wake = TkWeb.wake;
          TkWeb.wake = null;
          if (wake) wake();
        });
      } else if (TkWeb.live && !TkWeb.draining) {
        TkWeb.draining = true;
        queueMicrotask(function() {
          TkWeb.draining = false;
          _tk_web_drain(TkWeb.platform);
        });
      }
    },
    ended: function(code) {
      for (var id in TkWeb.windows) TkWeb.windows[id].el.remove();
      var taskbar = TkWeb.taskbar();
      if (taskbar) taskbar.replaceChildren();
      var note = document.querySelector('[data-ended]');
      if (note) note.hidden = false;
      window['tkExitCode'] = code;
    },
  },

  tk_web_window_create__deps: ['$TkWeb'],
  tk_web_window_create: function(id, name, nameLen, caption, captionLen, width, height,
                                 inTaskbar) {
    TkWeb.watchRatio();
    var el = document.createElement('div');
    el.dataset['form'] = TkWeb.str(name, nameLen);
    el.style.cssText = 'position:absolute;overflow:hidden;display:none;user-select:none;' +
        'touch-action:none;left:0;top:0;width:' + width + 'px;height:' + height + 'px';
    var canvas = document.createElement('canvas');
    canvas.style.cssText = 'position:absolute;left:0;top:0;width:100%;height:100%';
    el.appendChild(canvas);
    var w = TkWeb.windows[id] =
        { el: el, canvas: canvas, width: width, height: height, inTaskbar: !!inTaskbar,
          controls: {}, title: TkWeb.str(caption, captionLen), focusId: -1 };
    el.addEventListener('pointerdown', function(e) {
      if (e.target.closest('[data-control],[data-accessible]')) return;
      try { el.setPointerCapture(e.pointerId); } catch (err) {} // no such pointer: no capture
    });
    el.addEventListener('mousedown', function(e) { TkWeb.mouse(w, id, e, 0); });
    el.addEventListener('mousemove', function(e) { TkWeb.mouse(w, id, e, 1); });
    el.addEventListener('mouseup', function(e) { TkWeb.mouse(w, id, e, 2); });
    ['pointerdown', 'pointermove', 'pointerup', 'pointercancel'].forEach(function(type) {
      el.addEventListener(type, function(e) { TkWeb.touch(w, id, e); });
    });
    el.addEventListener('contextmenu', function(e) { e.preventDefault(); });
    // The window system's close, as a window manager (or the page around the game) sends it.
    el.addEventListener('close', function() { _tk_web_close(TkWeb.platform, id); });
    // Tab is the core's, the other keys too on a painted node. A native control keeps its own
    // Enter and Space: they press the button or tick the box, as on the desktop.
    el.addEventListener('keydown', function(e) {
      var key = TkWeb.keys.indexOf(e.key), c = e.target.closest('[data-control]');
      if (key === 0 ? !e.ctrlKey && !e.altKey && !e.metaKey
                    : key > 0 && !e.metaKey && e.target.closest('[data-node]')) {
        e.preventDefault();
        _tk_web_key(TkWeb.platform, id, key, TkWeb.shift(e));
      } else if (c && (key === 2 || (key === 1 && c.tagName !== 'LABEL'))) {
        e.preventDefault();
        _tk_web_control(TkWeb.platform, id, +c.dataset['index']);
      }
    });
    // A focus the core did not ask for (a click on a control, a screen reader's) is told to it.
    el.addEventListener('focusin', function(e) {
      var t = e.target.closest('[data-node],[data-index]');
      if (!t) return;
      w.focusId = +(t.dataset['node'] || t.dataset['index']);
      if (!TkWeb.focusing) _tk_web_focus(TkWeb.platform, id, w.focusId);
    });
    // Assistive technology's default action on a painted node.
    el.addEventListener('click', function(e) {
      var n = e.target.closest('[data-node]');
      if (n && n.action) _tk_web_accessible_action(TkWeb.platform, id, +n.dataset['node']);
    });
    TkWeb.screen().appendChild(el);
  },

  tk_web_window_destroy__deps: ['$TkWeb'],
  tk_web_window_destroy: function(id) {
    var w = TkWeb.windows[id];
    if (!w) return;
    delete TkWeb.windows[id];
    TkWeb.hide(w);
    w.el.remove();
  },

  tk_web_window_hide__deps: ['$TkWeb'],
  tk_web_window_hide: function(id) { TkWeb.hide(TkWeb.windows[id]); },

  tk_web_window_show__deps: ['$TkWeb'],
  tk_web_window_show: function(id, focus) {
    var w = TkWeb.windows[id];
    if (!w.shown) {
      w.shown = true;
      var taskbar = TkWeb.taskbar();
      if (w.inTaskbar && taskbar) {
        w.task = document.createElement('button');
        w.task.textContent = w.title;
        w.task.dataset['window'] = w.el.dataset['form'];
        w.task.addEventListener('click', function() {
          if (w.el.dataset['state'] === 'minimized') _tk_web_set_state(id, TkWeb.State.Normal);
          w.el.style.zIndex = ++TkWeb.z;
        });
        taskbar.appendChild(w.task);
      }
    }
    if (w.el.dataset['state'] !== 'minimized') w.el.style.display = 'block';
    w.el.style.zIndex = ++TkWeb.z;
    TkWeb.focus(w, focus);
    TkWeb.invalidate(id);
  },

  tk_web_window_visible__deps: ['$TkWeb'],
  tk_web_window_visible: function(id) { return TkWeb.windows[id].shown ? 1 : 0; },
  tk_web_window_x__deps: ['$TkWeb'],
  tk_web_window_x: function(id) { return parseInt(TkWeb.windows[id].el.style.left, 10); },
  tk_web_window_y__deps: ['$TkWeb'],
  tk_web_window_y: function(id) { return parseInt(TkWeb.windows[id].el.style.top, 10); },
  tk_web_window_move__deps: ['$TkWeb'],
  tk_web_window_move: function(id, x, y) {
    var w = TkWeb.windows[id];
    w.el.style.left = x + 'px';
    w.el.style.top = y + 'px';
  },
  tk_web_window_state__deps: ['$TkWeb'],
  tk_web_window_state: function(id) {
    var s = TkWeb.windows[id].el.dataset['state'], S = TkWeb.State;
    return s === 'minimized' ? S.Minimized : s === 'maximized' ? S.Maximized : S.Normal;
  },
  tk_web_set_state__deps: ['$TkWeb'],
  tk_web_set_state: function(id, state) {
    var w = TkWeb.windows[id];
    var S = TkWeb.State;
    w.el.dataset['state'] = state === S.Minimized ? 'minimized'
                       : state === S.Maximized ? 'maximized' : 'normal';
    w.el.style.display = state === S.Minimized || !w.shown ? 'none' : 'block';
  },
  tk_web_window_invalidate__deps: ['$TkWeb'],
  tk_web_window_invalidate: function(id) { TkWeb.invalidate(id); },

  // A native child control: a <button>, or a check box in a <label>.
  tk_web_control_sync__deps: ['$TkWeb'],
  tk_web_control_sync: function(id, index, isCheckBox, name, nameLen, caption, captionLen, x, y,
                                width, height, enabled, visible, checked, back, fore, fontName,
                                fontNameLen, px, bold, focusable) {
    var w = TkWeb.windows[id];
    var c = w.controls[index];
    if (!c) {
      c = w.controls[index] = document.createElement(isCheckBox ? 'label' : 'button');
      c.dataset['control'] = TkWeb.str(name, nameLen);
      c.dataset['index'] = index;
      if (isCheckBox) {
        c.appendChild(document.createElement('input')).type = 'checkbox';
        c.appendChild(document.createElement('span'));
        c.firstChild.addEventListener('change', function() {
          _tk_web_control(TkWeb.platform, id, index);
        });
      } else {
        c.addEventListener('click', function() { _tk_web_control(TkWeb.platform, id, index); });
      }
      w.el.appendChild(c);
    }
    var box = isCheckBox ? c.firstChild : c;
    var text = TkWeb.str(caption, captionLen);
    c.style.cssText = 'position:absolute;box-sizing:border-box;margin:0;white-space:nowrap;' +
        'display:' + (visible ? 'flex' : 'none') + ';align-items:center;justify-content:center;' +
        'left:' + x + 'px;top:' + y + 'px;width:' + width + 'px;height:' + height + 'px;' +
        'font:' + TkWeb.font(TkWeb.str(fontName, fontNameLen), px, bold, false);
    if (isCheckBox) {
      c.style.justifyContent = 'flex-start';
      c.style.background = TkWeb.colour(back);
      c.style.color = TkWeb.colour(fore);
      c.lastChild.textContent = text;
      box.checked = !!checked;
    } else {
      c.textContent = text;
    }
    box.disabled = !enabled;
    box.tabIndex = focusable ? 0 : -1;
  },

  // The core moved the focus. A window that does not hold the page's focus takes it when it is
  // activated.
  tk_web_set_focus__deps: ['$TkWeb'],
  tk_web_set_focus: function(id, node) {
    var w = TkWeb.windows[id], active = document.activeElement;
    if (!active || active === document.body || w.el.contains(active)) TkWeb.focus(w, node);
    else w.focusId = node;
  },

  // A node of the tree (the parent's id is the node's own for the window); apply uses them.
  tk_web_accessible_node__deps: ['$TkWeb'],
  tk_web_accessible_node: function(id, node, parent, role, name, nameLen, value, valueLen,
                                   description, descriptionLen, x, y, width, height, row, focusable,
                                   focused, enabled, action) {
    TkWeb.sent.push({ id: node, parent: parent, role: role, name: TkWeb.str(name, nameLen),
      value: TkWeb.str(value, valueLen), description: TkWeb.str(description, descriptionLen),
      box: [x, y, width, height], row: row, focusable: focusable, focused: focused,
      enabled: enabled, action: action });
  },

  // The whole tree laid out again (elements kept by id), or the nodes sent brought up to date;
  // then what is to be said: politely, or at once for an alert.
  tk_web_accessible_apply__deps: ['$TkWeb'],
  tk_web_accessible_apply: function(id, whole, said, saidLen, alert, alertLen) {
    var w = TkWeb.windows[id], nodes = TkWeb.sent, a = w.a11y;
    TkWeb.sent = [];
    if (!a) {
      whole = true;
      a = w.a11y = { root: w.el.appendChild(TkWeb.element()), els: {} };
      a.root.dataset['accessible'] = '';
      a.root.style.cssText = 'position:absolute;left:0;top:0;width:100%;height:100%;' +
          'color:transparent;pointer-events:none;overflow:hidden';
      a.root.box = [0, 0];
      a.status = a.root.appendChild(TkWeb.element('status'));
      a.status.setAttribute('aria-live', 'polite');
    }
    var seen = new Set(), last = new Map();
    var put = function(el, parent) {
      seen.add(el);
      TkWeb.put(el, parent, last.get(parent));
      last.set(parent, el);
    };
    var R = TkWeb.Role;
    nodes.forEach(function(n) {
      if (n.role === R.Window || n.role === R.Alert) {
        TkWeb.setAttr(w.el, 'role', 'region');
        TkWeb.setAttr(w.el, 'aria-label', n.name);
        if (n.role === R.Alert && !a.alert) {
          a.alert = a.root.appendChild(TkWeb.element('alert'));
          a.alert.style.whiteSpace = 'pre-line';
        }
        return;
      }
      var el = a.els[n.id];
      if (whole) {
        if (!el || el.kind !== n.role) {
          if (el) el.remove();
          el = a.els[n.id] = TkWeb.element(TkWeb.aria(n.role));
          el.kind = n.role;
          el.dataset['node'] = n.id;
        }
        var parent = n.parent === -1 ? a.root : a.els[n.parent];
        if (n.role === R.Cell) { // in a row of the grid: the grid's width, the cell's height
          var r = a.els['row' + n.row] || (a.els['row' + n.row] = TkWeb.element('row'));
          if (!seen.has(r)) {
            put(r, parent);
            TkWeb.place(r, [parent.box[0], n.box[1], parent.box[2], n.box[3]], parent.box);
          }
          parent = r;
        }
        put(el, parent);
      } else if (!el) {
        return;
      }
      TkWeb.place(el, n.box, el.parentNode.box);
      TkWeb.describe(a, el, n);
    });
    for (var k in a.els) {
      if (!whole || seen.has(a.els[k])) continue;
      if (a.current === a.els[k]) a.current = null;
      a.els[k].remove();
      delete a.els[k];
    }
    if (saidLen) a.status.textContent = TkWeb.str(said, saidLen);
    if (alertLen && a.alert) a.alert.textContent = TkWeb.str(alert, alertLen);
  },

  tk_web_timer_start__deps: ['$TkWeb'],
  tk_web_timer_start: function(interval, id) {
    TkWeb.timers[id] =
        setInterval(function() { _tk_web_tick(TkWeb.platform, id); }, Math.max(interval, 1));
  },
  tk_web_timer_stop__deps: ['$TkWeb'],
  tk_web_timer_stop: function(id) {
    clearInterval(TkWeb.timers[id]);
    delete TkWeb.timers[id];
  },
  tk_web_timer_stop_all__deps: ['$TkWeb'],
  tk_web_timer_stop_all: function() {
    for (var id in TkWeb.timers) clearInterval(TkWeb.timers[id]);
    TkWeb.timers = {};
  },

  tk_web_screen_width__deps: ['$TkWeb'],
  tk_web_screen_width: function() { return TkWeb.screen().clientWidth; },
  tk_web_screen_height__deps: ['$TkWeb'],
  tk_web_screen_height: function() { return TkWeb.screen().clientHeight; },

  tk_web_open__deps: ['$TkWeb'],
  tk_web_open: function(address, len) {
    var url;
    try { url = new URL(TkWeb.str(address, len)); } catch (e) { return 0; }
    if (url.protocol !== 'https:' && url.protocol !== 'http:') return 0;
    window.open(url.href, '_blank', 'noopener'); // with noopener it never tells
    return 1;
  },

  tk_web_measure__deps: ['$TkWeb'],
  tk_web_measure: function(name, nameLen, px, bold, text, textLen, height) {
    if (!TkWeb.measurer) TkWeb.measurer = document.createElement('canvas').getContext('2d');
    var ctx = TkWeb.measurer;
    ctx.font = TkWeb.font(TkWeb.str(name, nameLen), px, bold);
    var m = ctx.measureText(TkWeb.str(text, textLen));
    HEAP32[height >> 2] = Math.ceil(m.fontBoundingBoxAscent + m.fontBoundingBoxDescent);
    return Math.ceil(m.width);
  },

  // The message box: a modal <dialog>, titled by its heading. The answer comes back as an event.
  tk_web_message_box__deps: ['$TkWeb'],
  tk_web_message_box: function(prompt, promptLen, title, titleLen, information, answers,
                               count) {
    var d = document.createElement('dialog');
    d.dataset['messagebox'] = '';
    var h = d.appendChild(document.createElement('h1'));
    h.textContent = TkWeb.str(title, titleLen);
    var p = d.appendChild(document.createElement('p'));
    p.style.whiteSpace = 'pre-line';
    if (information) p.dataset['icon'] = 'information';
    p.textContent = TkWeb.str(prompt, promptLen).replace(/\r\n/g, '\n');
    var row = d.appendChild(document.createElement('div'));
    var values = [];
    var answer = function(value) {
      if (!d.open) return;
      d.close();
      d.remove();
      _tk_web_answer(TkWeb.platform, value);
    };
    for (var i = 0; i < count; ++i) {
      var value = HEAP32[(answers >> 2) + i];
      values.push(value);
      var b = row.appendChild(document.createElement('button'));
      b.textContent = ['Yes', 'No'][value]; // as tk::msgbox::Answer counts
      b.onclick = answer.bind(null, value);
    }
    // Escape answers with the last button, Enter with the focused one.
    d.addEventListener('keydown', function(e) {
      if (e.key === 'Escape') {
        e.preventDefault();
        answer(values[values.length - 1]);
      } else if (e.key === 'Enter' || e.key === ' ') {
        e.preventDefault();
        var at = Array.prototype.indexOf.call(row.children, document.activeElement);
        answer(values[at < 0 ? 0 : at]);
      }
    });
    d.addEventListener('cancel', function(e) { e.preventDefault(); });
    document.body.appendChild(d);
    d.showModal();
    row.firstChild.focus();
  },

  tk_web_notify__deps: ['$TkWeb'],
  tk_web_notify: function() { TkWeb.notify(); },
  // The program's loop returns to the browser, its objects left on the stack. Where exceptions
  // are caught, each landing pad on the way out puts the stack pointer back below them: it
  // goes back above them once main has returned, before anything else calls in.
  tk_web_run_live__deps: ['$TkWeb'],
  tk_web_run_live: function() {
    TkWeb.live = true;
    var top = stackSave();
    addOnPostRun(function() { stackRestore(top); });
  },

  // The one call that waits, on the test page: it yields to the browser until an event is posted.
  tk_web_wait__deps: ['$TkWeb'],
  tk_web_wait: function() {
    return Asyncify.handleSleep(function(wakeUp) { TkWeb.wake = wakeUp; });
  },

  tk_web_fill__deps: ['$TkWeb'],
  tk_web_ratio__deps: ['$TkWeb'],
  tk_web_ratio: function() { return TkWeb.ratio; },
  tk_web_fill: function(rgb) {
    var ctx = TkWeb.ctx;
    ctx.save();
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.fillStyle = TkWeb.colour(rgb);
    ctx.fillRect(0, 0, ctx.canvas.width, ctx.canvas.height);
    ctx.restore();
  },
  tk_web_draw_picture__deps: ['$TkWeb'],
  tk_web_draw_picture: function(name, len, density) {
    var p = TkWeb.picture(TkWeb.str(name, len) + '.png');
    if (!p.ready) return; // painted again once decoded
    TkWeb.ctx.drawImage(p.img, 0, 0, p.img.naturalWidth / density, p.img.naturalHeight / density);
    TkWeb.pictureDrawn = true;
  },
  tk_web_draw_text__deps: ['$TkWeb'],
  tk_web_draw_text: function(x, y, width, text, textLen, name, nameLen, px, bold, underline,
                             rgb, align) {
    var ctx = TkWeb.ctx;
    ctx.font = TkWeb.font(TkWeb.str(name, nameLen), px, bold);
    ctx.fillStyle = TkWeb.colour(rgb);
    ctx.textBaseline = 'alphabetic';
    var centred = align === TkWeb.Align.Center;
    ctx.textAlign = centred ? 'center' : 'left';
    var s = TkWeb.str(text, textLen);
    var m = ctx.measureText(s);
    // The box's top is the top of the font's ascent, as on the desktop.
    var base = y + Math.round(m.fontBoundingBoxAscent);
    var at = centred ? x + width / 2 : x;
    ctx.fillText(s, at, base);
    if (underline) {
      var left = centred ? at - m.width / 2 : at;
      ctx.fillRect(left, base + 1, m.width, Math.max(1, Math.round(px / 12)));
    }
  },
  // Lines sit on pixel centres, so a line as wide as a whole number of pixels is crisp.
  tk_web_draw_line__deps: ['$TkWeb'],
  tk_web_draw_line: function(x1, y1, x2, y2, rgb, width) {
    var ctx = TkWeb.ctx;
    ctx.strokeStyle = TkWeb.colour(rgb);
    ctx.lineWidth = width;
    ctx.lineCap = 'round';
    ctx.beginPath();
    ctx.moveTo(x1 + 0.5, y1 + 0.5);
    ctx.lineTo(x2 + 0.5, y2 + 0.5);
    ctx.stroke();
  },
  tk_web_draw_frame__deps: ['$TkWeb'],
  tk_web_draw_frame: function(x, y, w, h, rgb, width) {
    var ctx = TkWeb.ctx;
    ctx.strokeStyle = TkWeb.colour(rgb);
    ctx.lineWidth = width;
    ctx.lineJoin = 'miter';
    ctx.strokeRect(x + width / 2, y + width / 2, w - width, h - width);
  },
  tk_web_fill_rect__deps: ['$TkWeb'],
  tk_web_fill_rect: function(x, y, w, h, rgb) {
    TkWeb.ctx.fillStyle = TkWeb.colour(rgb);
    TkWeb.ctx.fillRect(x, y, w, h);
  },

  tk_web_attach__deps: ['$TkWeb'],
  tk_web_attach: function(platform) {
    TkWeb.platform = platform;
    Module['started'] = true; // a later abort is an error in play, not a failed load
    TkWeb.watchScreen();
  },

  tk_web_ended__deps: ['$TkWeb'],
  tk_web_ended: function(code) { TkWeb.ended(code); },
});
