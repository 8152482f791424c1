// Says plainly why the game cannot start when it cannot. Deferred, it may run before or after
// the game's script (async): what that script met meanwhile is left on Module (pre.js).
(function() {
  var shown = false;
  // The first reason found is the one told: later failures follow from it.
  var fail = function(sentence) {
    if (shown) return;
    shown = true;
    document.querySelector('[data-loading]').hidden = true;
    var p = document.querySelector('p[data-failure]');
    p.textContent = sentence;
    p.hidden = false;
  };
  var wasm = 'Gridlark could not load its program, gridlark.wasm (missing, blocked or not ' +
      'WebAssembly): reload the page, and if it stays so, the site must serve that file as ' +
      'application/wasm.';
  var aborted = function(inPlay) {
    fail(inPlay ? 'Gridlark stopped on an error: reload the page to play again.' : wasm);
  };
  if (location.protocol === 'file:') {
    fail('Gridlark cannot start from a file opened on disk: serve its folder with a web server ' +
         '(for example, run "python3 -m http.server" in it) and open the address it prints.');
  } else if (typeof WebAssembly !== 'object') {
    fail('This browser cannot run WebAssembly, which Gridlark needs: open the page in a ' +
         'current browser, or turn WebAssembly on in its settings.');
  }
  var M = window.Module;
  if (M && M.aborted) aborted(M.aborted === 2);
  window.tkAborted = aborted;
  // A file the page needs that did not arrive (load errors reach the window while capturing).
  addEventListener('error', function(e) {
    var address = e.target && e.target.tagName ? e.target.src || e.target.href || '' : '';
    if (/\.wasm$/.test(address)) fail(wasm);
  }, true);
  // Every script has loaded or failed by now: one that never ran did not arrive.
  addEventListener('load', function() {
    if (!window.Module || !Module.ran)
      fail('Gridlark could not load its script, gridlark.js: reload the page, and if it stays ' +
           'so, the site is missing that file.');
  });
  document.addEventListener('click', function(e) {
    if (e.target.closest('[data-ended] button')) location.reload();
  });
})();
