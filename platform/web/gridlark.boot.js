// Runs before the game's script: starts the artwork, says plainly why the game cannot start
// when it cannot, and clears the loading line once the first frame is painted (platform.js).
var Module = { arguments: new URLSearchParams(location.search).getAll('arg'), pictures: {} };
(function() {
  document.documentElement.dataset.script = '';
  var shown = false;
  // The first reason found is the one told: later failures follow from it.
  var fail = function(sentence) {
    if (shown) return;
    shown = true;
    var show = function() {
      var loading = document.querySelector('[data-loading]');
      if (loading) loading.hidden = true;
      var p = document.querySelector('p[data-failure]');
      p.textContent = sentence;
      p.hidden = false;
    };
    if (document.body) show();
    else document.addEventListener('DOMContentLoaded', show);
  };
  Module.fail = fail;
  if (location.protocol === 'file:') {
    fail('Gridlark cannot start from a file opened on disk: serve its folder with a web server ' +
         '(for example, run "python3 -m http.server" in it) and open the address it prints.');
  } else if (typeof WebAssembly !== 'object') {
    fail('This browser cannot run WebAssembly, which Gridlark needs: open the page in a ' +
         'current browser, or turn WebAssembly on in its settings.');
  }
  var wasm = 'Gridlark could not load its program, gridlark.wasm (missing, blocked or not ' +
      'WebAssembly): reload the page, and if it stays so, the site must serve that file as ' +
      'application/wasm.';
  Module.onAbort = function() {
    fail(Module.started ? 'Gridlark stopped on an error: reload the page to play again.' : wasm);
  };
  // A file the page needs that did not arrive (load errors reach the window while capturing).
  addEventListener('error', function(e) {
    var t = e.target;
    if (t === window || !t || !t.tagName) return;
    var address = t.src || t.href || '';
    if (/\.wasm$/.test(address)) fail(wasm);
    else if (/\.js$/.test(address))
      fail('Gridlark could not load its script, ' + address.replace(/^.*\//, '') +
           ': reload the page, and if it stays so, the site is missing that file.');
  }, true);
  document.addEventListener('click', function(e) {
    if (e.target.closest('[data-ended] button')) location.reload();
  });
  // The artwork for this screen loads and decodes meanwhile.
  var art = (window.devicePixelRatio || 1) > 1.5 ? 'background@2x.png' : 'background.png';
  var img = Module.pictures[art] = new Image();
  img.src = art;
  img.decode().catch(function() {});
})();
