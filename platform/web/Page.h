// The page's side of the web backend: the functions of platform/web/js/*.js that the backend's
// C++ calls, each a few lines of DOM, canvas or browser work. Windows are handles the page hands
// out (0 for none). Text goes to the page as bytes with the encoding they are shown in (PageText.h)
// and comes back as UTF-8: a function that returns text copies it into `buffer` when `size` holds
// it, and returns its length in bytes either way.
//
// Nothing in the page calls the program: its events queue commands, which the program's message
// pump takes (up_take_message) between its own steps.
#pragma once

extern "C" {

// What up_control_create makes; the page's scripts use the same numbers.
enum PageControlKind {
  kPageStatic = 0,
  kPageCenteredText = 1,
  kPageEdit = 2,
  kPagePushButton = 3,
  kPageDefPushButton = 4,
  kPageIcon = 5,
  kPageProgressBar = 6,
};
enum PageControlFlags {
  kPageVisible = 1,
  kPageBorder = 2,
  kPageTabStop = 4,
};

// Messages: commands queued for a window (a button's, a menu item's, a dialog key's, a box's
// answer) and windows whose client area needs painting.
int up_waiting_messages(void);
int up_take_message(int* window, int* id);
void up_post_command(int window, int id);
int up_take_paint(void);  // a window to paint, its canvas already erased; 0 for none
void up_invalidate(int window);
// Suspends the program (through Asyncify) until a message is queued, a window needs painting or
// `milliseconds` have passed; below 0, until a message comes.
void up_wait(double milliseconds);
double up_now(void);  // the page's clock (performance.now), milliseconds

// Dialogs: a layer over the page's windows (modal over the ones below it), with a caption, an
// optional menu bar and a client area. Hidden until shown.
int up_dialog_create(int owner, int isMainWindow, const char* caption, int length, int encoding);
void up_dialog_show(int dialog);
void up_dialog_set_client_size(int dialog, int width, int height);
// Popups return their own handle, for the items that go into them; `popup` 0 is the menu bar.
enum PageMenuKind { kPageMenuPopup = 0, kPageMenuCommand = 1, kPageMenuSeparator = 2 };
int up_menu_add(int dialog, int popup, int kind, const char* text, int length, int id);
// A centred text that its text does not fit grows downward (as far as the viewport allows), and
// the dialog with it; the controls below it move down by as much.
void up_grow_to_fit_texts(int dialog);
void up_focus_first_tab_stop(int dialog);
// The dialog font's average character width and line height, in CSS pixels.
void up_base_units(int* averageCharWidth, int* charHeight);

// Controls, in a dialog's client area, in the order made (the tab order).
int up_control_create(int dialog, int kind, int id, int flags, const char* text, int length,
                      int encoding);
int up_find_child(int window, int id);
void up_window_destroy(int window);
void up_window_set_text(int window, const char* text, int length, int encoding);
int up_window_get_text(int window, char* buffer, int size);
// For a dialog: the outer frame at (x, y) of the page. For a control: the client area's pixels.
void up_window_move(int window, int x, int y, int width, int height);
void up_window_rect(int window, int* x, int* y, int* width, int* height);
void up_window_put_last(int window);
int up_window_enable(int window, int enable);  // whether it was disabled
void up_client_size(int window, int* width, int* height);
void up_progress_state(int window, int lower, int upper, int position);
void up_icon_set(int window, const unsigned char* rgba, int width, int height);

// Painting on the canvas of a window's client area, between begin (0: nothing to paint on) and
// end. Colours are 0x00BBGGRR.
int up_paint_begin(int window);
void up_paint_end(int window);
void up_paint_fill(int window, int x, int y, int width, int height, unsigned colour);
void up_paint_clip(int window, int clipped, int left, int top, int right, int bottom);
void up_paint_text(int window, int x, int y, const char* text, int length, int encoding,
                   unsigned colour, int opaque, int clipped, int left, int top, int right,
                   int bottom);
int up_paint_measure(int window, const char* text, int length, int encoding);
int up_paint_line_height(int window);

// Message boxes and the file dialogs: modal layers of their own, whose answer comes as a command
// to the returned window (IDOK, IDCANCEL, IDYES, IDNO).
int up_message_box_create(const char* text, int length, int encoding, const char* caption,
                          int captionLength, int captionEncoding, int yesNo);
// Asks for the name a download is saved under; up_window_get_text gives the name typed.
int up_save_dialog_create(const char* name, int length);
// The browser's file picker over the files `accept` names (".tss,.txt"; empty for any).
int up_file_pick(const char* accept, int length);
int up_picked_name(int picker, char* buffer, int size);
int up_picked_size(int picker);  // -1 when the file could not be read or is too large
void up_picked_copy(int picker, unsigned char* buffer, int size);
void up_download(const char* name, int nameLength, const char* data, int length);

// The frames the page is drawn in (requestAnimationFrame), while at least one follower asks.
void up_frames_follow(int follow);
int up_latest_frame(double* number, double* time, double* now);

// The rest of the page: dialog keys, the screen's wake lock, the tab's title and icon, and the
// note shown once the program has ended.
void up_filter_dialog_keys(int filtered);
void up_wake_lock(int hold);
void up_announce(const char* name, int length, const unsigned char* iconRgba, int iconWidth,
                 int iconHeight);
void up_application_ended(void);

}  // extern "C"
