// Painting a window's canvas for the program's CDC (platform/web/CDC.cpp), the dialog font and its
// measures, and text between the program's bytes and the page's strings.
mergeInto(LibraryManager.library, {
  $UpText: {
    decoders: {},
    encoder: null,

    // Bytes in the encoding the program chose by the layer's rule: 0 UTF-8, 1 Windows-1252.
    decode: function(pointer, length, encoding) {
      var label = encoding ? 'windows-1252' : 'utf-8';
      var decoder = UpText.decoders[label] || (UpText.decoders[label] = new TextDecoder(label));
      return decoder.decode(HEAPU8.subarray(pointer, pointer + length));
    },
    // UTF-8 into the program's buffer when it holds it; the length in bytes either way.
    copy: function(text, buffer, size) {
      if (!UpText.encoder) UpText.encoder = new TextEncoder();
      var bytes = UpText.encoder.encode(text);
      if (bytes.length <= size) HEAPU8.set(bytes, buffer);
      return bytes.length;
    },
  },

  $UpPaint__deps: ['$UpWindows'],
  $UpPaint: {
    measuring: null,
    metrics: null,
    dialogFont: '',

    // The dialog font: every control shows it (page.css) and the canvas draws it.
    font: function() {
      if (!UpPaint.dialogFont) UpPaint.dialogFont = UpPaint.fontOf(UpWindows.deskElement());
      return UpPaint.dialogFont;
    },
    fontOf: function(el) {
      var style = getComputedStyle(el);
      return style.fontSize + ' ' + style.fontFamily;
    },
    textWidth: function(font, text) {
      if (!UpPaint.measuring) UpPaint.measuring = document.createElement('canvas').getContext('2d');
      UpPaint.measuring.font = font;
      return UpPaint.measuring.measureText(text).width;
    },
    // The font's ascent and line height in whole pixels.
    lineMetrics: function() {
      if (UpPaint.metrics) return UpPaint.metrics;
      UpPaint.textWidth(UpPaint.font(), '');
      var measured = UpPaint.measuring.measureText('Hg');
      var ascent = Math.round(measured.fontBoundingBoxAscent || measured.actualBoundingBoxAscent);
      var descent = Math.round(measured.fontBoundingBoxDescent || measured.actualBoundingBoxDescent);
      UpPaint.metrics = {ascent: ascent, height: ascent + descent};
      return UpPaint.metrics;
    },
    colour: function(value) {
      return 'rgb(' + (value & 255) + ',' + ((value >> 8) & 255) + ',' + ((value >> 16) & 255) + ')';
    },
    // A canvas of this many CSS pixels, with as many device pixels behind them as the screen has.
    fitCanvas: function(canvas, width, height) {
      var ratio = window.devicePixelRatio || 1;
      canvas.style.width = width + 'px';
      canvas.style.height = height + 'px';
      canvas.width = Math.round(width * ratio);
      canvas.height = Math.round(height * ratio);
    },
    // Clears the canvas before a paint, as an erased window is; false when there is none.
    erase: function(record) {
      if (!record || !record.canvas) return false;
      var context = record.canvas.getContext('2d');
      context.setTransform(1, 0, 0, 1, 0, 0);
      context.clearRect(0, 0, record.canvas.width, record.canvas.height);
      return true;
    },
    context: function(handle) {
      var record = UpWindows.get(handle);
      return record ? record.painting : null;
    },
    // The state every paint starts from, and that a new clip region starts from again.
    reset: function(context) {
      var ratio = window.devicePixelRatio || 1;
      context.setTransform(ratio, 0, 0, ratio, 0, 0);
      context.font = UpPaint.font();
      context.textBaseline = 'alphabetic';
    },
  },

  up_base_units__deps: ['$UpPaint'],
  up_base_units: function(widthPointer, heightPointer) {
    var alphabet = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz';
    var width = Math.round(UpPaint.textWidth(UpPaint.font(), alphabet));
    HEAP32[widthPointer >> 2] = Math.floor((Math.floor(width / 26) + 1) / 2);
    HEAP32[heightPointer >> 2] = UpPaint.lineMetrics().height;
  },

  up_paint_begin__deps: ['$UpPaint', '$UpWindows'],
  up_paint_begin: function(handle) {
    var record = UpWindows.get(handle);
    if (!record || !record.canvas || record.painting) return 0;
    var context = record.canvas.getContext('2d');
    context.save();
    UpPaint.reset(context);
    context.save();  // popped and pushed again by every new clip region
    record.painting = context;
    return 1;
  },

  up_paint_end__deps: ['$UpWindows'],
  up_paint_end: function(handle) {
    var record = UpWindows.get(handle);
    if (!record || !record.painting) return;
    record.painting.restore();
    record.painting.restore();
    record.painting = null;
  },

  up_paint_fill__deps: ['$UpPaint'],
  up_paint_fill: function(handle, x, y, width, height, colour) {
    var context = UpPaint.context(handle);
    if (!context) return;
    context.fillStyle = UpPaint.colour(colour);
    context.fillRect(x, y, width, height);
  },

  up_paint_clip__deps: ['$UpPaint'],
  up_paint_clip: function(handle, clipped, left, top, right, bottom) {
    var context = UpPaint.context(handle);
    if (!context) return;
    context.restore();
    context.save();
    if (!clipped) return;
    context.beginPath();
    context.rect(left, top, Math.max(0, right - left), Math.max(0, bottom - top));
    context.clip();
  },

  // The top-left corner of the text's cell at (x, y); opaque text has a white cell behind it.
  up_paint_text__deps: ['$UpPaint', '$UpText'],
  up_paint_text: function(handle, x, y, text, length, encoding, colour, opaque, clipped, left,
                          top, right, bottom) {
    var context = UpPaint.context(handle);
    if (!context) return;
    var shown = UpText.decode(text, length, encoding);
    var metrics = UpPaint.lineMetrics();
    context.save();
    if (clipped) {
      context.beginPath();
      context.rect(left, top, Math.max(0, right - left), Math.max(0, bottom - top));
      context.clip();
    }
    if (opaque) {
      context.fillStyle = '#ffffff';
      context.fillRect(x, y, context.measureText(shown).width, metrics.height);
    }
    context.fillStyle = UpPaint.colour(colour);
    context.fillText(shown, x, y + metrics.ascent);
    context.restore();
  },

  up_paint_measure__deps: ['$UpPaint', '$UpText'],
  up_paint_measure: function(handle, text, length, encoding) {
    return Math.round(UpPaint.textWidth(UpPaint.font(), UpText.decode(text, length, encoding)));
  },

  up_paint_line_height__deps: ['$UpPaint'],
  up_paint_line_height: function(handle) {
    return UpPaint.lineMetrics().height;
  },

  up_icon_set__deps: ['$UpWindows'],
  up_icon_set: function(handle, rgba, width, height) {
    var record = UpWindows.get(handle);
    if (!record || !record.canvas) return;
    var pixels = new ImageData(new Uint8ClampedArray(HEAPU8.slice(rgba, rgba + width * height * 4)),
                               width, height);
    record.canvas.width = width;
    record.canvas.height = height;
    record.canvas.getContext('2d').putImageData(pixels, 0, 0);
  },
});
