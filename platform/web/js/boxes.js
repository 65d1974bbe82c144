// The message box and the layer that asks for a download's name: dialogs of the page whose
// content flows (no template places it). Their answer is a command to their own window: IDOK 1,
// IDCANCEL 2, IDYES 6, IDNO 7.
mergeInto(LibraryManager.library, {
  $UpBoxes__deps: ['$UpWindows', '$UpPump'],
  $UpBoxes: {
    // A dialog with a flowing client area and a row of buttons; the first button is the default.
    make: function(caption, role, buttons) {
      var handle = UpWindows.createDialog(caption, false);
      var record = UpWindows.get(handle);
      record.el.setAttribute('role', role);
      record.client.classList.add('up-flow');
      record.canvas.remove();
      record.canvas = null;
      var row = document.createElement('div');
      row.className = 'up-box-buttons';
      buttons.forEach(function(button) {
        var el = document.createElement('button');
        el.type = 'button';
        el.className = 'up-button';
        el.textContent = button.text;
        el.addEventListener('click', function() { UpPump.post(handle, button.id); });
        record.children.push(UpWindows.add({kind: 'button', el: el, parent: handle, id: button.id}));
        el.upHandle = record.children[record.children.length - 1];
        row.appendChild(el);
      });
      record.defaultId = buttons[0].id;
      record.buttonRow = row;
      return record;
    },
    // The layer's size follows its content, which the page lays out.
    show: function(record, focus) {
      record.client.appendChild(record.buttonRow);
      record.width = record.client.offsetWidth;
      record.height = record.client.offsetHeight;
      record.pendingFocus = focus;
      UpWindows.show(record);
    },
  },

  // Escape and the close box answer No, or OK in a box with OK alone.
  up_message_box_create__deps: ['$UpBoxes', '$UpText'],
  up_message_box_create: function(text, length, encoding, caption, captionLength,
                                  captionEncoding, yesNo) {
    var buttons = yesNo ? [{text: 'Yes', id: 6}, {text: 'No', id: 7}] : [{text: 'OK', id: 1}];
    var record = UpBoxes.make(UpText.decode(caption, captionLength, captionEncoding),
                              'alertdialog', buttons);
    record.cancelId = yesNo ? 7 : 1;
    var message = document.createElement('div');
    message.className = 'up-box-text';
    message.id = 'up-box-text-' + record.handle;
    message.textContent = UpText.decode(text, length, encoding);
    record.el.setAttribute('aria-describedby', message.id);
    record.client.appendChild(message);
    UpBoxes.show(record, record.buttonRow.firstChild);
    return record.handle;
  },

  // Save stays unavailable while the name is empty.
  up_save_dialog_create__deps: ['$UpBoxes', '$UpText'],
  up_save_dialog_create: function(name, length) {
    var record = UpBoxes.make('Save As', 'dialog', [{text: 'Save', id: 1}, {text: 'Cancel', id: 2}]);
    var label = document.createElement('label');
    label.className = 'up-save-label';
    label.textContent = 'File name:';
    var input = document.createElement('input');
    input.type = 'text';
    input.className = 'up-save-name up-border';
    input.spellcheck = false;
    input.autocomplete = 'off';
    input.value = UpText.decode(name, length, 0);
    label.appendChild(input);
    var note = document.createElement('div');
    note.className = 'up-save-note';
    note.textContent = 'The file is saved where your browser keeps downloads.';
    record.client.append(label, note);
    var save = record.buttonRow.firstChild;
    var update = function() { save.disabled = input.value.trim() === ''; };
    input.addEventListener('input', update);
    update();
    record.nameInput = input;
    UpBoxes.show(record, input);
    input.select();
    return record.handle;
  },
});
