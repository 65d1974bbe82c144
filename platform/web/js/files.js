// Files as a page has them: the browser's file picker for Open, a download for Save, and the
// page's tab and ending.
mergeInto(LibraryManager.library, {
  // No file of settings comes near this size; a larger one is not read into the page.
  $UpFiles: {
    largest: 16 * 1024 * 1024,
  },

  // The picked file's bytes are read before the answer is queued; a cancel answers IDCANCEL.
  // Browsers without the picker's cancel event give the page its focus back when the picker
  // closes: with no file picked a moment later, that was a cancel too.
  up_file_pick__deps: ['$UpWindows', '$UpPump', '$UpText', '$UpFiles'],
  up_file_pick: function(accept, length) {
    var input = document.createElement('input');
    input.type = 'file';
    var patterns = UpText.decode(accept, length, 0);
    if (patterns) input.accept = patterns;
    var record = {kind: 'picker', el: null, name: '', bytes: null, answered: false};
    var handle = UpWindows.add(record);
    var answer = function(id) {
      if (record.answered) return;
      record.answered = true;
      window.removeEventListener('focus', onFocus);
      UpPump.post(handle, id);
    };
    var onFocus = function() {
      setTimeout(function() { if (!input.files || input.files.length === 0) answer(2); }, 1000);
    };
    input.addEventListener('change', function() {
      var file = input.files && input.files[0];
      if (!file) {
        answer(2);
        return;
      }
      record.name = file.name;
      if (file.size > UpFiles.largest) {
        answer(1);
        return;
      }
      file.arrayBuffer().then(function(buffer) {
        record.bytes = new Uint8Array(buffer);
        answer(1);
      }, function() { answer(1); });
    });
    input.addEventListener('cancel', function() { answer(2); });
    window.addEventListener('focus', onFocus);
    input.click();
    return handle;
  },

  up_picked_name__deps: ['$UpWindows', '$UpText'],
  up_picked_name: function(picker, buffer, size) {
    var record = UpWindows.get(picker);
    return record ? UpText.copy(record.name, buffer, size) : 0;
  },

  up_picked_size__deps: ['$UpWindows'],
  up_picked_size: function(picker) {
    var record = UpWindows.get(picker);
    return record && record.bytes ? record.bytes.length : -1;
  },

  up_picked_copy__deps: ['$UpWindows'],
  up_picked_copy: function(picker, buffer, size) {
    var record = UpWindows.get(picker);
    if (record && record.bytes) HEAPU8.set(record.bytes.subarray(0, size), buffer);
  },

  up_download__deps: ['$UpText'],
  up_download: function(name, nameLength, data, length) {
    var blob = new Blob([HEAPU8.slice(data, data + length)], {type: 'application/octet-stream'});
    var url = URL.createObjectURL(blob);
    var link = document.createElement('a');
    link.href = url;
    link.download = UpText.decode(name, nameLength, 0);
    link.rel = 'noopener';
    link.hidden = true;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function() { URL.revokeObjectURL(url); }, 60000);
  },

  up_filter_dialog_keys__deps: ['$UpWindows'],
  up_filter_dialog_keys: function(filtered) {
    UpWindows.keysFiltered = !!filtered;
  },

  // The tab's title until the main window's takes over, and its icon.
  up_announce__deps: ['$UpWindows', '$UpText'],
  up_announce: function(name, length, rgba, width, height) {
    UpWindows.announcedTitle = UpText.decode(name, length, 0);
    if (!document.title) document.title = UpWindows.announcedTitle;
    if (width <= 0 || height <= 0) return;
    var canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    canvas.getContext('2d').putImageData(
        new ImageData(new Uint8ClampedArray(HEAPU8.slice(rgba, rgba + width * height * 4)), width, height), 0, 0);
    var icon = document.createElement('link');
    icon.rel = 'icon';
    icon.href = canvas.toDataURL('image/png');
    document.head.appendChild(icon);
  },

  up_application_ended__deps: ['$UpWindows'],
  up_application_ended: function() {
    var note = document.getElementById('up-status');
    if (!note) return;
    note.textContent = 'The programmer has closed. Reload the page to start it again.';
    note.hidden = false;
  },
});
