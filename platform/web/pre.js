// The first frame waits for the artwork of the screen's density, decoded by the browser (the
// page has been fetching it since its head).
Module['preRun'] = (Module['preRun'] || []).concat(function() {
  addRunDependency('artwork');
  var picture = TkWeb.picture(TkWeb.pictureFile('background', window.devicePixelRatio || 1));
  picture.img.decode().catch(function() {}).then(function() { removeRunDependency('artwork'); });
});
