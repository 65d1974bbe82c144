// Runs before the program: config.inf is fetched from the page's own folder into the folder the
// program runs from (/app, see platform/web/ModulePath.cpp), so that the program finds it beside
// itself as it does on the desktop. When there is none (a missing file, an error status, no
// server), there is none there either, and the form shows as it does without one.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function() {
  FS.mkdir('/app');
  addRunDependency('config.inf');
  fetch('config.inf', {cache: 'no-cache', credentials: 'same-origin'}).then(function(response) {
    return response.ok ? response.arrayBuffer() : null;
  }).then(function(buffer) {
    if (buffer) FS.writeFile('/app/config.inf', new Uint8Array(buffer));
  }).catch(function() {}).then(function() {
    removeRunDependency('config.inf');
  });
});

// A page opened as a file (file://) can't load its WebAssembly: the page says so instead of
// staying blank.
Module['onAbort'] = function() {
  var note = document.getElementById('up-status');
  if (!note) return;
  note.textContent = location.protocol === 'file:' ?
      'This page must be opened from a web server: a browser does not run it from a file.' :
      'The programmer could not start in this browser.';
  note.hidden = false;
};
