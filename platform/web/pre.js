// The page's own script (gridlark.boot.js) finds the runtime by its name, which a minifier
// would otherwise take.
window['Module'] = Module;
// The program's arguments come from the address (?arg=...).
Module['arguments'] = new URLSearchParams(location.search).getAll('arg');
Module['ran'] = true;
// A failed start (the WebAssembly missing, blocked or not WebAssembly) or an error in play is
// told by the page's own script, now or once it runs.
Module['onAbort'] = function() {
  Module['aborted'] = Module['started'] ? 2 : 1;
  if (window['tkAborted']) window['tkAborted'](Module['aborted'] === 2);
};
// The runtime's fetch of the WebAssembly rejects without aborting when the file is blocked.
addEventListener('unhandledrejection', function() {
  if (!Module['started'] && !Module['aborted']) Module['onAbort']();
});
// The first frame waits for the artwork of the screen's density, which the page has been
// fetching since its head: it decodes while the WebAssembly compiles.
var tkArtwork = null;
Module['preInit'] = function() {
  var link = document.querySelector('link[rel=preload][as=image]');
  if (!link) return;
  var name = link.getAttribute('href').replace(/\.png$/, '');
  tkArtwork = TkWeb.picture(TkWeb.pictureFile(name, window.devicePixelRatio || 1)).loaded;
};
Module['preRun'] = (Module['preRun'] || []).concat(function() {
  if (!tkArtwork) return;
  addRunDependency('artwork');
  tkArtwork.then(function() { removeRunDependency('artwork'); });
});
