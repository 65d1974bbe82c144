// The page's half of the message pump (platform/web/MessagePump.cpp), its frames and its clock.
// Event handlers only queue: commands for a window, and windows to paint. The program takes them
// when it pumps, and waits for them in up_wait, suspended through Asyncify while the page runs.
mergeInto(LibraryManager.library, {
  $UpPump: {
    queue: [],  // window, id, window, id, ...
    dirty: [],  // windows whose canvas needs painting, each once
    resume: null,  // resumes the waiting program
    timer: 0,
    channel: null,

    post: function(handle, id) {
      UpPump.queue.push(handle, id);
      UpPump.wake();
    },
    invalidate: function(handle) {
      if (UpPump.dirty.indexOf(handle) < 0) UpPump.dirty.push(handle);
      UpPump.wake();
    },
    waiting: function() {
      return UpPump.queue.length > 0 || UpPump.dirty.length > 0;
    },
    wake: function() {
      var resume = UpPump.resume;
      if (!resume) return;
      UpPump.resume = null;
      clearTimeout(UpPump.timer);
      resume();
    },
    // A wait ends through a message task rather than in the timer's own task: a timer set from a
    // timer's task is held to 4 ms or more once such tasks nest, and the program sets its next
    // timer from the task it resumed in.
    wakeLater: function(milliseconds) {
      if (!UpPump.channel) {
        UpPump.channel = new MessageChannel();
        UpPump.channel.port1.onmessage = UpPump.wake;
      }
      var port = UpPump.channel.port2;
      if (milliseconds < 1) {
        port.postMessage(0);
      } else {
        UpPump.timer = setTimeout(function() { port.postMessage(0); }, milliseconds);
      }
    },
  },

  up_wait__deps: ['$UpPump', '$Asyncify'],
  up_wait: function(milliseconds) {
    return Asyncify.handleAsync(function() {
      return new Promise(function(resolve) {
        UpPump.resume = resolve;
        if (UpPump.waiting()) {
          UpPump.wake();
        } else if (milliseconds >= 0) {
          UpPump.wakeLater(milliseconds);
        }
      });
    });
  },

  up_waiting_messages__deps: ['$UpPump'],
  up_waiting_messages: function() {
    return UpPump.queue.length / 2;
  },

  up_take_message__deps: ['$UpPump'],
  up_take_message: function(windowPointer, idPointer) {
    if (UpPump.queue.length < 2) return 0;
    HEAP32[windowPointer >> 2] = UpPump.queue.shift();
    HEAP32[idPointer >> 2] = UpPump.queue.shift();
    return 1;
  },

  up_post_command__deps: ['$UpPump'],
  up_post_command: function(handle, id) {
    UpPump.post(handle, id);
  },

  up_invalidate__deps: ['$UpPump'],
  up_invalidate: function(handle) {
    UpPump.invalidate(handle);
  },

  // A window that is gone by now is passed over.
  up_take_paint__deps: ['$UpPump', '$UpWindows', '$UpPaint'],
  up_take_paint: function() {
    while (UpPump.dirty.length > 0) {
      var handle = UpPump.dirty.shift();
      if (UpPaint.erase(UpWindows.get(handle))) return handle;
    }
    return 0;
  },

  up_now: function() {
    return performance.now();
  },

  // requestAnimationFrame's callbacks, counted. A frame the browser skipped (a long task, a
  // hidden page) shows as a gap in the numbers, judged by the spacing of the frames around it.
  $UpFrames: {
    followers: 0,
    request: 0,
    number: 0,
    time: 0,
    spacing: 0,  // a frame's usual spacing, milliseconds

    tick: function(time) {
      var frames = UpFrames;
      if (frames.time > 0) {
        var spacing = time - frames.time;
        if (frames.spacing === 0 || spacing < 1.5 * frames.spacing) {
          frames.spacing = frames.spacing === 0 ? spacing : frames.spacing + (spacing - frames.spacing) / 8;
        }
        frames.number += Math.max(1, Math.round(spacing / frames.spacing));
      } else {
        frames.number += 1;
      }
      frames.time = time;
      frames.request = frames.followers > 0 ? requestAnimationFrame(frames.tick) : 0;
    },
  },

  up_frames_follow__deps: ['$UpFrames'],
  up_frames_follow: function(follow) {
    var frames = UpFrames;
    frames.followers += follow ? 1 : -1;
    if (frames.followers > 0 && frames.request === 0) {
      frames.time = 0;
      frames.spacing = 0;
      frames.request = requestAnimationFrame(frames.tick);
    }
  },

  up_latest_frame__deps: ['$UpFrames'],
  up_latest_frame: function(numberPointer, timePointer, nowPointer) {
    if (UpFrames.time === 0) return 0;
    HEAPF64[numberPointer >> 3] = UpFrames.number;
    HEAPF64[timePointer >> 3] = UpFrames.time;
    HEAPF64[nowPointer >> 3] = performance.now();
    return 1;
  },

  // The screen stays on while a run needs it: a browser lets a lock go when the page is hidden,
  // so it is asked for again when the page shows. A hidden page shows nothing and gets no frames:
  // a run then could only send a cut-off packet, so hiding the page cancels it, as its dialog's
  // Cancel does, and says so at once; the user starts again once the page is back.
  $UpWakeLock__deps: ['$UpPump', '$UpWindows'],
  $UpWakeLock: {
    holders: 0,
    lock: null,
    watching: false,
    cancelled: false,

    acquire: function() {
      if (!navigator.wakeLock || UpWakeLock.lock) return;
      navigator.wakeLock.request('screen').then(function(lock) {
        if (UpWakeLock.holders > 0 && !UpWakeLock.lock) {
          UpWakeLock.lock = lock;
          lock.addEventListener('release', function() { UpWakeLock.lock = null; });
        } else {
          lock.release();
        }
      }, function() {});
    },
  },

  up_wake_lock__deps: ['$UpWakeLock'],
  up_wake_lock: function(hold) {
    var wake = UpWakeLock;
    wake.holders += hold ? 1 : -1;
    if (!wake.watching) {
      wake.watching = true;
      document.addEventListener('visibilitychange', function() {
        if (wake.holders === 0) return;
        var top = UpWindows.top();
        if (document.visibilityState === 'visible') {
          wake.acquire();
        } else if (top && !wake.cancelled) {
          wake.cancelled = true;  // once a run: a second cancel would close its dialog
          UpPump.post(top.handle, top.cancelId);
        }
      });
    }
    if (wake.holders > 0) {
      wake.acquire();
      return;
    }
    wake.cancelled = false;
    if (wake.lock) {
      wake.lock.release();
      wake.lock = null;
    }
  },
});
