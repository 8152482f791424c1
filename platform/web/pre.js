// The program's arguments come from the address (?arg=...).
Module['arguments'] = new URLSearchParams(location.search).getAll('arg');
Module['ran'] = true;
// A failed start (the WebAssembly missing, blocked or not WebAssembly) or an error in play is
// told by the page's own script, now or once it runs.
Module['onAbort'] = function() {
  Module['aborted'] = Module['started'] ? 2 : 1;
  if (window.tkAborted) window.tkAborted(Module['aborted'] === 2);
};
// The runtime's fetch of the WebAssembly rejects without aborting when the file is blocked.
addEventListener('unhandledrejection', function() {
  if (!Module['started'] && !Module['aborted']) Module['onAbort']();
});
// The first frame waits for the artwork of the screen's density, decoded by the browser (the
// page has been fetching it since its head).
Module['preRun'] = (Module['preRun'] || []).concat(function() {
  addRunDependency('artwork');
  var link = document.querySelector('link[rel=preload][as=image]');
  if (!link) return removeRunDependency('artwork');
  var name = link.getAttribute('href').replace(/\.png$/, '');
  var picture = TkWeb.picture(TkWeb.pictureFile(name, window.devicePixelRatio || 1));
  picture.loaded.then(function() { removeRunDependency('artwork'); });
});
