// A dialog's menu bar: titles that open a popup of commands, or are a command themselves. A
// click or a tap opens and chooses. From the keyboard, F10 (or Alt pressed and let go alone)
// puts the focus on the first title; the arrows move between titles and items, Enter, Space or
// Down open and choose, Escape closes the popup, then leaves the bar for where the focus was.
// Choosing only queues the item's command for its dialog.
mergeInto(LibraryManager.library, {
  $UpMenu__deps: ['$UpPump', '$UpWindows'],
  $UpMenu: {
    popups: {},  // handle -> {dialog, title, list}
    next: 1,
    open: null,  // the popup shown
    returnFocus: null,  // where the focus goes when the keyboard leaves the bar
    altAlone: false,

    barOf: function(dialog) {
      if (!dialog.menubar) {
        var bar = document.createElement('div');
        bar.className = 'up-menubar';
        bar.setAttribute('role', 'menubar');
        // A click or a tap leaves the focus where it was, as a desktop's menu does.
        bar.addEventListener('mousedown', function(event) { event.preventDefault(); });
        dialog.el.insertBefore(bar, dialog.client);
        dialog.menubar = bar;
      }
      return dialog.menubar;
    },
    button: function(className, text) {
      var button = document.createElement('button');
      button.type = 'button';
      button.className = className;
      button.setAttribute('role', 'menuitem');
      button.tabIndex = -1;
      button.textContent = text;
      return button;
    },
    choose: function(dialog, id) {
      UpMenu.leave(dialog);
      UpPump.post(dialog.handle, id);
    },
    addTitle: function(dialog, text, id, isPopup) {
      var title = UpMenu.button('up-menu-title', text);
      UpMenu.barOf(dialog).appendChild(title);
      if (!isPopup) {
        title.addEventListener('click', function() { UpMenu.choose(dialog, id); });
        return 0;
      }
      var list = document.createElement('div');
      list.className = 'up-menu';
      list.setAttribute('role', 'menu');
      list.hidden = true;
      list.addEventListener('mousedown', function(event) { event.preventDefault(); });
      dialog.el.appendChild(list);
      title.setAttribute('aria-haspopup', 'menu');
      title.setAttribute('aria-expanded', 'false');
      var popup = {dialog: dialog, title: title, list: list};
      title.upPopup = popup;
      title.addEventListener('click', function() {
        if (UpMenu.open === popup) UpMenu.close(); else UpMenu.show(popup, false);
      });
      var handle = UpMenu.next++;
      UpMenu.popups[handle] = popup;
      return handle;
    },
    addItem: function(popup, text, id, isSeparator) {
      if (isSeparator) {
        var line = document.createElement('div');
        line.className = 'up-menu-separator';
        line.setAttribute('role', 'separator');
        popup.list.appendChild(line);
        return;
      }
      var item = UpMenu.button('up-menu-item', text);
      item.addEventListener('click', function() { UpMenu.choose(popup.dialog, id); });
      popup.list.appendChild(item);
    },

    // From the keyboard the first item takes the focus; a click leaves it where it was.
    show: function(popup, focusFirst) {
      UpMenu.close();
      var bar = popup.dialog.menubar;
      popup.list.style.left = popup.title.offsetLeft + 'px';
      popup.list.style.top = (bar.offsetTop + bar.offsetHeight) + 'px';
      popup.list.hidden = false;
      popup.title.setAttribute('aria-expanded', 'true');
      UpMenu.open = popup;
      if (focusFirst && UpMenu.items(popup).length > 0) UpMenu.items(popup)[0].focus();
    },
    close: function() {
      var popup = UpMenu.open;
      if (!popup) return;
      UpMenu.open = null;
      var hadFocus = popup.list.contains(document.activeElement);
      popup.list.hidden = true;
      popup.title.setAttribute('aria-expanded', 'false');
      if (hadFocus) popup.title.focus();
    },
    items: function(popup) {
      return Array.prototype.slice.call(popup.list.querySelectorAll('button'));
    },
    titles: function(dialog) {
      return Array.prototype.slice.call(dialog.menubar.children);
    },
    enter: function(dialog) {
      UpMenu.returnFocus = document.activeElement;
      var first = UpMenu.titles(dialog)[0];
      if (first) first.focus();
    },
    leave: function(dialog) {
      UpMenu.close();
      if (!dialog.menubar || !dialog.menubar.contains(document.activeElement)) return;
      var back = UpMenu.returnFocus;
      UpMenu.returnFocus = null;
      (back && back.isConnected && !back.disabled && dialog.el.contains(back) ? back : dialog.el).focus();
    },
    // The title `step` away from `title`, round the bar; with its popup open when one was open.
    moveAlongBar: function(dialog, title, step, openPopup) {
      var titles = UpMenu.titles(dialog);
      var next = titles[(titles.indexOf(title) + step + titles.length) % titles.length];
      UpMenu.close();
      if (openPopup && next.upPopup) UpMenu.show(next.upPopup, true); else next.focus();
    },
    moveInPopup: function(popup, step) {
      var items = UpMenu.items(popup);
      var at = items.indexOf(document.activeElement);
      items[(at + step + items.length) % items.length].focus();
    },

    // True when the key was the menu's.
    onKeyDown: function(dialog, event) {
      var key = event.key;
      UpMenu.altAlone = key === 'Alt';
      if (!dialog.menubar) return false;
      var focus = document.activeElement;
      var popup = UpMenu.open && UpMenu.open.list.contains(focus) ? UpMenu.open : null;
      var inBar = dialog.menubar.contains(focus);
      var plain = !event.shiftKey && !event.ctrlKey && !event.altKey && !event.metaKey;
      if (key === 'F10' && plain) {
        event.preventDefault();
        if (inBar || popup) UpMenu.leave(dialog); else UpMenu.enter(dialog);
        return true;
      }
      if (!inBar && !popup) return false;
      event.preventDefault();
      event.stopPropagation();
      if (key === 'Tab') {
        UpMenu.leave(dialog);
      } else if (popup) {
        if (key === 'ArrowDown' || key === 'ArrowUp') UpMenu.moveInPopup(popup, key === 'ArrowDown' ? 1 : -1);
        else if (key === 'ArrowLeft' || key === 'ArrowRight') UpMenu.moveAlongBar(dialog, popup.title, key === 'ArrowRight' ? 1 : -1, true);
        else if (key === 'Enter' || key === ' ') focus.click();
        else if (key === 'Escape') UpMenu.close();
      } else {
        if (key === 'ArrowLeft' || key === 'ArrowRight') UpMenu.moveAlongBar(dialog, focus, key === 'ArrowRight' ? 1 : -1, false);
        else if ((key === 'ArrowDown' || key === 'Enter' || key === ' ') && focus.upPopup) UpMenu.show(focus.upPopup, true);
        else if (key === 'Enter' || key === ' ') focus.click();
        else if (key === 'Escape') UpMenu.leave(dialog);
      }
      return true;
    },
    onKeyUp: function(event) {
      var dialog = UpWindows.top();
      if (event.key !== 'Alt' || !UpMenu.altAlone || !dialog || !dialog.menubar) return;
      UpMenu.altAlone = false;
      event.preventDefault();
      if (dialog.menubar.contains(document.activeElement) || UpMenu.open) UpMenu.leave(dialog);
      else UpMenu.enter(dialog);
    },
    // A click or tap anywhere but on the open popup or its title closes it.
    onPointerDown: function(event) {
      var popup = UpMenu.open;
      if (popup && !popup.list.contains(event.target) && !popup.title.contains(event.target)) {
        UpMenu.close();
      }
    },
  },

  up_menu_add__deps: ['$UpMenu', '$UpWindows', '$UpText'],
  up_menu_add: function(dialog, popup, kind, text, length, id) {
    var record = UpWindows.get(dialog);
    if (!record) return 0;
    var shown = UpText.decode(text, length, 0);
    if (popup === 0) return UpMenu.addTitle(record, shown, id, kind === 0);
    var parent = UpMenu.popups[popup];
    if (parent) UpMenu.addItem(parent, shown, id, kind === 2);
    return 0;
  },
});
