// The page's windows. A dialog is a layer over the dialogs below it (which turn inert while it is
// up): a caption with its close box, an optional menu bar (menu.js) and a client area, in which
// the controls sit at their pixel positions over a canvas that the program paints (paint.js). A
// dialog keeps its own size and is scaled down to fit a smaller viewport, never scrolled.
// Control kinds and flags are those of platform/web/Page.h.
mergeInto(LibraryManager.library, {
  $UpWindows__deps: ['$UpPump', '$UpText', '$UpPaint', '$UpMenu'],
  $UpWindows: {
    records: {},  // handle -> record
    next: 1,
    stack: [],  // the dialogs shown, bottom first
    desk: null,
    keysFiltered: false,
    announcedTitle: '',

    add: function(record) {
      var handle = UpWindows.next++;
      record.handle = handle;
      record.children = [];
      UpWindows.records[handle] = record;
      return handle;
    },
    get: function(handle) {
      return UpWindows.records[handle] || null;
    },
    top: function() {
      return UpWindows.get(UpWindows.stack[UpWindows.stack.length - 1]);
    },

    // The page's element for every layer, made once with the page's event handlers.
    deskElement: function() {
      if (UpWindows.desk) return UpWindows.desk;
      var desk = document.getElementById('up-desk');
      if (!desk) {
        desk = document.createElement('div');
        desk.id = 'up-desk';
        document.body.appendChild(desk);
      }
      UpWindows.desk = desk;
      window.addEventListener('resize', UpWindows.placeAll);
      document.addEventListener('keydown', UpWindows.onKeyDown, true);
      document.addEventListener('keyup', UpMenu.onKeyUp, true);
      document.addEventListener('pointerdown', UpMenu.onPointerDown, true);
      return desk;
    },

    createDialog: function(caption, isMainWindow) {
      var layer = document.createElement('div');
      layer.className = isMainWindow ? 'up-layer' : 'up-layer up-modal';
      layer.style.visibility = 'hidden';  // laid out, so that sizes can be read, but not shown
      var el = document.createElement('div');
      el.className = 'up-dialog';
      el.setAttribute('role', 'dialog');
      el.tabIndex = -1;  // holds the focus while no control has it
      var bar = document.createElement('div');
      bar.className = 'up-caption';
      var title = document.createElement('span');
      title.className = 'up-title';
      title.textContent = caption;
      var close = document.createElement('button');
      close.type = 'button';
      close.className = 'up-close';
      close.tabIndex = -1;
      close.setAttribute('aria-label', 'Close');
      close.textContent = '\u00d7';
      bar.append(title, close);
      var client = document.createElement('div');
      client.className = 'up-client';
      var canvas = document.createElement('canvas');
      canvas.className = 'up-canvas';
      canvas.setAttribute('aria-hidden', 'true');
      client.appendChild(canvas);
      el.append(bar, client);
      layer.appendChild(el);
      var record = {kind: 'dialog', text: caption, el: el, layer: layer, title: title, client: client,
                    canvas: canvas, menubar: null, isMainWindow: !!isMainWindow, defaultId: 0,
                    cancelId: 2, x: 0, y: 0, placed: false, width: 0, height: 0,
                    focusReturn: document.activeElement, pendingFocus: null};
      var handle = UpWindows.add(record);
      title.id = 'up-title-' + handle;
      el.setAttribute('aria-labelledby', title.id);
      close.addEventListener('click', function() { UpPump.post(handle, record.cancelId); });
      if (isMainWindow) document.title = caption || UpWindows.announcedTitle;
      UpWindows.deskElement().appendChild(layer);
      return handle;
    },

    show: function(record) {
      UpWindows.stack.forEach(function(below) { UpWindows.get(below).layer.inert = true; });
      UpWindows.stack.push(record.handle);
      var status = document.getElementById('up-status');
      if (status) status.hidden = true;
      UpWindows.place(record);
      record.layer.style.visibility = '';
      var focus = record.pendingFocus;
      (focus && focus.isConnected ? focus : record.el).focus();
    },

    // The client area's size; the canvas follows it at the screen's pixel density.
    setClientSize: function(record, width, height) {
      record.width = Math.max(0, width);
      record.height = Math.max(0, height);
      record.client.style.width = record.width + 'px';
      record.client.style.height = record.height + 'px';
      UpPaint.fitCanvas(record.canvas, record.width, record.height);
      UpPump.invalidate(record.handle);
      if (UpWindows.stack.indexOf(record.handle) >= 0) UpWindows.place(record);
    },

    // The outer frame (caption, menu bar and border included) at (x, y). A side given below 1
    // keeps the least client area that shows the menu bar's titles.
    setOuter: function(record, x, y, width, height) {
      record.x = x;
      record.y = y;
      record.placed = true;
      var frameWidth = record.el.offsetWidth - record.client.offsetWidth;
      var frameHeight = record.el.offsetHeight - record.client.offsetHeight;
      var leastWidth = record.menubar ? record.menubar.scrollWidth : 1;
      UpWindows.setClientSize(record, width < 1 ? leastWidth : width - frameWidth,
                              height < 1 ? 1 : height - frameHeight);
    },

    // At its own size, scaled down (never up) to fit the desk (the viewport, less a warning the
    // page shows above it); where the program put it, or centred when it did not say.
    place: function(record) {
      var desk = UpWindows.deskElement();
      var viewWidth = desk.clientWidth;
      var viewHeight = desk.clientHeight;
      var width = Math.max(1, record.el.offsetWidth);
      var height = Math.max(1, record.el.offsetHeight);
      var scale = Math.min(1, viewWidth / width, viewHeight / height);
      var left = record.placed ? record.x * scale : (viewWidth - width * scale) / 2;
      var top = record.placed ? record.y * scale : (viewHeight - height * scale) / 2;
      left = Math.max(0, Math.min(left, viewWidth - width * scale));
      top = Math.max(0, Math.min(top, viewHeight - height * scale));
      record.el.style.transform = 'translate(' + left + 'px, ' + top + 'px) scale(' + scale + ')';
    },
    placeAll: function() {
      UpWindows.stack.forEach(function(handle) { UpWindows.place(UpWindows.get(handle)); });
    },

    destroy: function(handle) {
      var record = UpWindows.get(handle);
      if (!record) return;
      record.children.slice().forEach(function(child) { UpWindows.destroy(child); });
      delete UpWindows.records[handle];
      var parent = UpWindows.get(record.parent);
      if (parent) parent.children.splice(parent.children.indexOf(handle), 1);
      if (record.kind !== 'dialog') {
        if (record.el) record.el.remove();
        return;
      }
      var shown = UpWindows.stack.indexOf(handle);
      if (shown >= 0) UpWindows.stack.splice(shown, 1);
      record.layer.remove();
      var below = UpWindows.top();
      if (below) below.layer.inert = false;
      if (record.focusReturn && record.focusReturn.isConnected) record.focusReturn.focus();
    },

    // The controls that Tab stops at, in the dialog's order.
    tabStops: function(record) {
      return Array.prototype.filter.call(record.client.querySelectorAll('input, button'),
          function(el) { return el.tabIndex >= 0 && !el.disabled && !el.closest('[hidden]'); });
    },
    moveFocus: function(record, step) {
      var stops = UpWindows.tabStops(record);
      if (stops.length === 0) return;
      var at = stops.indexOf(document.activeElement);
      var next = at < 0 ? (step > 0 ? 0 : stops.length - 1) : (at + step + stops.length) % stops.length;
      stops[next].focus();
    },

    // The dialog keys go to the topmost dialog: Escape is its cancel command, Enter presses the
    // focused button or else the default one, Tab and Shift+Tab go round its tab stops. While a
    // run pumps them away, they do nothing at all.
    onKeyDown: function(event) {
      var record = UpWindows.top();
      if (!record || UpMenu.onKeyDown(record, event)) return;
      var key = event.key;
      if (key !== 'Escape' && key !== 'Enter' && key !== 'Tab') return;
      if (event.ctrlKey || event.altKey || event.metaKey) return;  // the browser's own keys
      event.preventDefault();
      event.stopPropagation();
      if (UpWindows.keysFiltered) return;
      if (key === 'Escape') {
        UpPump.post(record.handle, record.cancelId);
      } else if (key === 'Tab') {
        UpWindows.moveFocus(record, event.shiftKey ? -1 : 1);
      } else {
        var focused = UpWindows.recordOf(document.activeElement);
        if (focused && focused.parent === record.handle && focused.el.tagName === 'BUTTON') {
          if (!focused.el.disabled) UpPump.post(record.handle, focused.id);
        } else if (record.defaultId !== 0 && !UpWindows.isDisabled(record, record.defaultId)) {
          UpPump.post(record.handle, record.defaultId);
        }
      }
    },
    recordOf: function(el) {
      return el && el.upHandle ? UpWindows.get(el.upHandle) : null;
    },
    isDisabled: function(record, id) {
      var child = UpWindows.findChild(record, id);
      return !!(child && child.el.disabled);
    },
    findChild: function(record, id) {
      for (var i = 0; i < record.children.length; i++) {
        var child = UpWindows.get(record.children[i]);
        if (child && child.id === id) return child;
      }
      return null;
    },
  },

  up_dialog_create__deps: ['$UpWindows', '$UpText'],
  up_dialog_create: function(owner, isMainWindow, caption, length, encoding) {
    return UpWindows.createDialog(UpText.decode(caption, length, encoding), isMainWindow);
  },

  up_dialog_show__deps: ['$UpWindows'],
  up_dialog_show: function(dialog) {
    var record = UpWindows.get(dialog);
    if (record) UpWindows.show(record);
  },

  up_dialog_set_client_size__deps: ['$UpWindows'],
  up_dialog_set_client_size: function(dialog, width, height) {
    var record = UpWindows.get(dialog);
    if (record) UpWindows.setClientSize(record, width, height);
  },

  up_focus_first_tab_stop__deps: ['$UpWindows'],
  up_focus_first_tab_stop: function(dialog) {
    var record = UpWindows.get(dialog);
    if (!record) return;
    var first = UpWindows.tabStops(record)[0];
    if (!first) return;
    if (UpWindows.stack.indexOf(dialog) >= 0) first.focus(); else record.pendingFocus = first;
  },

  up_grow_to_fit_texts__deps: ['$UpWindows'],
  up_grow_to_fit_texts: function(dialog) {
    var record = UpWindows.get(dialog);
    if (!record) return;
    record.children.map(UpWindows.get).forEach(function(text) {
      if (!text || text.kind !== 'centred') return;
      var room = document.documentElement.clientHeight - record.el.offsetHeight;
      var extra = Math.min(text.el.scrollHeight - text.el.clientHeight, room);
      if (extra <= 0) return;
      var bottom = text.el.offsetTop + text.el.offsetHeight;
      record.children.map(UpWindows.get).forEach(function(other) {
        if (other && other !== text && other.el.offsetTop >= bottom) {
          other.el.style.top = (other.el.offsetTop + extra) + 'px';
        }
      });
      text.el.style.height = (text.el.offsetHeight + extra) + 'px';
      UpWindows.setClientSize(record, record.width, record.height + extra);
    });
  },
});
