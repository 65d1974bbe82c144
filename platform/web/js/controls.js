// The controls of a dialog's client area: static texts, edit boxes, push buttons, the icon and
// progress bars, each an element placed at its pixels. Kinds and flags are those of
// platform/web/Page.h. Clicks only queue the button's command for its dialog.
mergeInto(LibraryManager.library, {
  $UpControls__deps: ['$UpWindows', '$UpPump', '$UpText', '$UpPaint'],
  $UpControls: {
    kinds: ['static', 'centred', 'edit', 'button', 'button', 'icon', 'progress'],

    make: function(dialog, kind, id, flags, text) {
      var el;
      var record = {kind: UpControls.kinds[kind] || 'static', parent: dialog.handle, id: id,
                    text: text, canvas: null};
      if (kind === 2) {
        el = document.createElement('input');
        el.type = 'text';
        el.className = 'up-edit' + (flags & 2 ? ' up-border' : '');
        el.spellcheck = false;
        el.autocomplete = 'off';
        el.upFitting = '';
        el.addEventListener('input', UpControls.keepWithinBox);
        el.addEventListener('compositionend', UpControls.keepWithinBox);
        UpControls.nameAfterPrecedingLabel(el, dialog);
      } else if (kind === 3 || kind === 4) {
        el = document.createElement('button');
        el.type = 'button';
        el.className = 'up-button' + (kind === 4 ? ' up-default' : '');
        el.textContent = text;
        el.addEventListener('click', function() { UpPump.post(dialog.handle, id); });
        if (kind === 4) dialog.defaultId = id;
      } else if (kind === 5) {
        el = document.createElement('div');
        el.className = 'up-icon';
        record.canvas = document.createElement('canvas');
        record.canvas.setAttribute('aria-hidden', 'true');
        el.appendChild(record.canvas);
      } else if (kind === 6) {
        el = document.createElement('canvas');
        el.className = 'up-progress';
        el.setAttribute('role', 'progressbar');
        record.canvas = el;
      } else {
        el = document.createElement('div');
        el.className = kind === 1 ? 'up-static up-centred' : 'up-static';
        el.textContent = text;
      }
      el.classList.add('up-control');
      if (el.tagName === 'INPUT' || el.tagName === 'BUTTON') el.tabIndex = flags & 4 ? 0 : -1;
      el.hidden = !(flags & 1);
      record.el = el;
      var handle = UpWindows.add(record);
      el.upHandle = handle;
      el.id = 'up-control-' + handle;
      dialog.children.push(handle);
      dialog.client.appendChild(el);
      return handle;
    },

    // A screen reader names an edit box after the static text made just before it, as a form
    // row's label.
    nameAfterPrecedingLabel: function(el, dialog) {
      for (var i = dialog.children.length - 1; i >= 0; i--) {
        var before = UpWindows.get(dialog.children[i]);
        if (before && before.kind === 'static') {
          el.setAttribute('aria-labelledby', before.el.id);
          return;
        }
      }
    },

    // Typing stops when the box is full, as the desktop's boxes do, which never scroll: an edit
    // whose text would be wider than the box keeps only what fits of what it inserted, cut just
    // before the caret. Text that the program sets shows as it was set.
    keepWithinBox: function(event) {
      var el = event.target;
      if (event.isComposing) return;
      var value = el.value;
      if (UpControls.fits(el, value)) {
        el.upFitting = value;
        return;
      }
      var caret = el.selectionStart === null ? value.length : el.selectionStart;
      var inserted = value.length - el.upFitting.length;
      while (inserted > 0 && caret > 0 && !UpControls.fits(el, value)) {
        var cut = caret > 1 && /[\udc00-\udfff]/.test(value[caret - 1]) &&
            /[\ud800-\udbff]/.test(value[caret - 2]) ? 2 : 1;
        value = value.slice(0, caret - cut) + value.slice(caret);
        caret -= cut;
        inserted -= cut;
      }
      el.value = value;
      el.setSelectionRange(caret, caret);
      el.scrollLeft = 0;
      el.upFitting = value;
    },
    fits: function(el, text) {
      var style = getComputedStyle(el);
      var room = el.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
      var caretWidth = 1;
      return Math.ceil(UpPaint.textWidth(UpPaint.fontOf(el), text)) + caretWidth <= room;
    },

    setText: function(record, text) {
      record.text = text;
      if (record.nameInput) {
        record.nameInput.value = text;
      } else if (record.kind === 'dialog') {
        record.title.textContent = text;
        if (record.isMainWindow) document.title = text || UpWindows.announcedTitle;
      } else if (record.kind === 'edit') {
        record.el.value = text;
        record.el.upFitting = text;
        record.el.scrollLeft = 0;
      } else if (record.kind === 'progress') {
        record.el.setAttribute('aria-valuetext', text);
      } else if (record.kind !== 'icon' && record.kind !== 'picker') {
        record.el.textContent = text;
      }
    },
    getText: function(record) {
      if (record.kind === 'edit') return record.el.value;
      if (record.nameInput) return record.nameInput.value;
      return record.text || '';
    },
  },

  up_control_create__deps: ['$UpControls', '$UpWindows', '$UpText'],
  up_control_create: function(dialog, kind, id, flags, text, length, encoding) {
    var record = UpWindows.get(dialog);
    if (!record || record.kind !== 'dialog') return 0;
    return UpControls.make(record, kind, id, flags, UpText.decode(text, length, encoding));
  },

  up_find_child__deps: ['$UpWindows'],
  up_find_child: function(handle, id) {
    var record = UpWindows.get(handle);
    var child = record ? UpWindows.findChild(record, id) : null;
    return child ? child.handle : 0;
  },

  up_window_destroy__deps: ['$UpWindows'],
  up_window_destroy: function(handle) {
    UpWindows.destroy(handle);
  },

  up_window_set_text__deps: ['$UpControls', '$UpWindows', '$UpText'],
  up_window_set_text: function(handle, text, length, encoding) {
    var record = UpWindows.get(handle);
    if (record) UpControls.setText(record, UpText.decode(text, length, encoding));
  },

  up_window_get_text__deps: ['$UpControls', '$UpWindows', '$UpText'],
  up_window_get_text: function(handle, buffer, size) {
    var record = UpWindows.get(handle);
    return record ? UpText.copy(UpControls.getText(record), buffer, size) : 0;
  },

  up_window_move__deps: ['$UpWindows', '$UpPump', '$UpPaint'],
  up_window_move: function(handle, x, y, width, height) {
    var record = UpWindows.get(handle);
    if (!record) return;
    if (record.kind === 'dialog') {
      UpWindows.setOuter(record, x, y, width, height);
      return;
    }
    record.x = x;
    record.y = y;
    record.width = Math.max(0, width);
    record.height = Math.max(0, height);
    var style = record.el.style;
    style.left = x + 'px';
    style.top = y + 'px';
    style.width = Math.max(0, width) + 'px';
    style.height = Math.max(0, height) + 'px';
    if (record.kind === 'progress') {
      UpPaint.fitCanvas(record.canvas, Math.max(0, width), Math.max(0, height));
      UpPump.invalidate(handle);
    }
  },

  up_window_rect__deps: ['$UpWindows'],
  up_window_rect: function(handle, x, y, width, height) {
    var record = UpWindows.get(handle);
    var dialog = record && record.kind === 'dialog';
    HEAP32[x >> 2] = record ? record.x || 0 : 0;
    HEAP32[y >> 2] = record ? record.y || 0 : 0;
    HEAP32[width >> 2] = record ? (dialog ? record.el.offsetWidth : record.width || 0) : 0;
    HEAP32[height >> 2] = record ? (dialog ? record.el.offsetHeight : record.height || 0) : 0;
  },

  // Last in its dialog's order: the tab order and the order a screen reader reads.
  up_window_put_last__deps: ['$UpWindows'],
  up_window_put_last: function(handle) {
    var record = UpWindows.get(handle);
    var dialog = record ? UpWindows.get(record.parent) : null;
    if (!dialog) return;
    dialog.children.splice(dialog.children.indexOf(handle), 1);
    dialog.children.push(handle);
    dialog.client.appendChild(record.el);
  },

  // A disabled control that had the focus leaves it parked on its dialog, where keys do nothing,
  // and gets it back on enabling unless the user has put it on another control meanwhile.
  up_window_enable__deps: ['$UpWindows'],
  up_window_enable: function(handle, enable) {
    var record = UpWindows.get(handle);
    if (!record || !('disabled' in record.el)) return 0;
    var el = record.el;
    var dialog = UpWindows.get(record.parent);
    var wasDisabled = el.disabled;
    if (!enable && document.activeElement === el && dialog) {
      record.parked = true;
      dialog.el.focus();
    }
    el.disabled = !enable;
    if (enable && record.parked) {
      record.parked = false;
      var focus = document.activeElement;
      if (!focus || focus === document.body || (dialog && focus === dialog.el)) el.focus();
    }
    return wasDisabled ? 1 : 0;
  },

  up_client_size__deps: ['$UpWindows'],
  up_client_size: function(handle, width, height) {
    var record = UpWindows.get(handle);
    HEAP32[width >> 2] = record ? record.width || 0 : 0;
    HEAP32[height >> 2] = record ? record.height || 0 : 0;
  },

  up_progress_state__deps: ['$UpWindows'],
  up_progress_state: function(handle, lower, upper, position) {
    var record = UpWindows.get(handle);
    if (!record) return;
    record.el.setAttribute('aria-valuemin', Math.min(lower, upper));
    record.el.setAttribute('aria-valuemax', Math.max(lower, upper));
    record.el.setAttribute('aria-valuenow', position);
  },
});
