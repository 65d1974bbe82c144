// Sends a packet the common way a page times things, as the yardstick for the programmer's page
// (bench/run-web.sh): after each swap it waits the symbol's duration with setTimeout, then swaps
// at the first animation frame after the wait, drawing the two panels as the programmer's page
// does (black and white rectangles with a black frame on a canvas). The packet is the page
// address's query, in hex: index.html?packet=55...
//
// With &frames=running the page also asks for every animation frame, as a page does while
// anything on it animates. Then the browser draws only on its frame clock, as a real display
// shows pixels only at its refresh; idle, Chromium draws a frame asked for after a wait at once,
// and Xvfb shows it at once, which no real display does.
const kStartMs = 50;  // the start symbol, and the gap after every byte
const kZeroMs = 50;
const kOneMs = 100;

// Ten swaps a byte, each followed by its symbol: start, eight bits (least significant first),
// and the gap at the end of the byte.
function durationsOf(bytes) {
  const durations = [];
  for (const byte of bytes) {
    durations.push(kStartMs);
    for (let bit = 0; bit < 8; ++bit) durations.push((byte >> bit) & 1 ? kOneMs : kZeroMs);
    durations.push(kStartMs);
  }
  return durations;
}

const canvas = document.getElementById('panels');
const state = document.getElementById('state');
const start = document.getElementById('start');
const colours = ['#000000', '#ffffff'];  // left, right

// Laid out as the programming dialog paints its client area.
function draw() {
  const ratio = window.devicePixelRatio || 1;
  const width = canvas.clientWidth;
  const height = canvas.clientHeight;
  if (canvas.width !== Math.round(width * ratio)) {
    canvas.width = Math.round(width * ratio);
    canvas.height = Math.round(height * ratio);
  }
  const context = canvas.getContext('2d');
  context.setTransform(ratio, 0, 0, ratio, 0, 0);
  const half = Math.floor(width / 2);
  const panels = [[10, half - 2], [half + 2, width - 10]];
  panels.forEach(([left, right], i) => {
    context.fillStyle = colours[i];
    context.fillRect(left, 70, right - left, height - 80);
    context.strokeStyle = '#000000';
    context.strokeRect(left + 0.5, 70.5, right - left - 1, height - 81);
  });
}

const hex = new URLSearchParams(location.search).get('packet') || '';
const bytes = (hex.match(/../g) || []).map((pair) => parseInt(pair, 16));
const durations = durationsOf(bytes);
let next = 0;

function swap() {
  colours.reverse();
  draw();
  const wait = durations[next++];
  if (next < durations.length) {
    setTimeout(() => requestAnimationFrame(swap), wait);
  } else {
    setTimeout(() => {
      state.textContent = 'Done';
      start.disabled = false;
    }, wait);
  }
}

start.addEventListener('click', () => {
  if (durations.length === 0) return;
  start.disabled = true;
  next = 0;
  state.textContent = 'Sending';
  requestAnimationFrame(swap);
});
if (new URLSearchParams(location.search).get('frames') === 'running') {
  const tick = () => requestAnimationFrame(tick);
  tick();
}
draw();
state.textContent = bytes.length > 0 ? 'Ready' : 'No packet in the address';
