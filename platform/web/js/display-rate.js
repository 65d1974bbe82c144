// A display slower than 50 frames a second gets a word before Start: the run plans each swap for
// the frame nearest its due time, and with frames that far apart the device may not read the
// packet. The page's frame rate is measured while it is visible (the median of 30 frame
// spacings, which a long task at load does not move), when it shows, when it is resized (it may
// have moved to another display) and every few seconds, since power saving can slow the frames
// at any time.
(function() {
  var kSlowestHz = 50;
  var kSpacings = 30;
  var kEveryMilliseconds = 5000;
  var measuring = false;

  // The word takes the top of the page, and the dialogs the rest: it covers no caption or menu.
  function say(hz) {
    var note = document.getElementById('up-display-rate');
    var desk = document.getElementById('up-desk');
    if (!note || !desk) return;
    var slow = hz > 0 && hz < kSlowestHz - 0.5;  // a 50 Hz display measures 49.5 to 50.5
    if (slow) {
      note.textContent = 'This display shows only ' + Math.round(hz) +
          ' frames a second, and programming needs ' + kSlowestHz + ' or more: the device ' +
          'may not read the settings. Turn off power saving, or use another display.';
    }
    note.hidden = !slow;
    var top = slow ? note.offsetHeight + 'px' : '';
    if (desk.style.top === top) return;
    desk.style.top = top;
    window.dispatchEvent(new Event('resize'));  // the dialogs are placed again
  }

  function measure() {
    if (measuring || document.visibilityState !== 'visible') return;
    measuring = true;
    var times = [];
    requestAnimationFrame(function tick(time) {
      // Hidden meanwhile: frames stopped for a while, and the spacing says nothing of the display.
      if (document.visibilityState !== 'visible') {
        measuring = false;
        return;
      }
      times.push(time);
      if (times.length <= kSpacings) {
        requestAnimationFrame(tick);
        return;
      }
      var spacings = [];
      for (var i = 1; i < times.length; ++i) spacings.push(times[i] - times[i - 1]);
      spacings.sort(function(a, b) { return a - b; });
      var median = spacings[spacings.length >> 1];
      measuring = false;
      say(median > 0 ? 1000 / median : 0);
    });
  }

  document.addEventListener('visibilitychange', measure);
  window.addEventListener('resize', measure);
  setInterval(measure, kEveryMilliseconds);
  measure();
})();
