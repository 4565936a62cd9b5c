"use strict";
// The operator's values: the sliders, the keys, sending, and letting go.

const CHANNELS = 15, LAST_SETTABLE = 13, MAX = 15, SEND_PERIOD = 100, TICK = 50;
// The server's dead-man: values older than this are never sent again.
const DEAD_MAN = 500;
let values = [], neutral = null, driving = false, selected = 0, socket = null;
let lastSent = 0, lastTick = Date.now();
// padDriving: the game pad drives; enableArmed: its enable button was seen
// released since the last let-go.
let padDriving = false, enableArmed = false;
const sentAt = [];
let lastState = 0, pictureAge = null;
const $ = (id) => document.getElementById(id);

const sliders = [];
for (let i = 0; i < CHANNELS; i++) {
  const row = document.createElement("label");
  row.className = "channel";
  row.innerHTML = `<span>ch ${i}</span><input type="range" min="0" max="${MAX}" step="1"><output></output>`;
  const input = row.querySelector("input");
  input.disabled = i > LAST_SETTABLE;  // the frame's end mark
  input.addEventListener("input", () => { setValue(i, Number(input.value)); });
  $("channels").appendChild(row);
  sliders.push(row);
}

function show() {
  sliders.forEach((row, i) => {
    row.querySelector("input").value = values[i];
    row.querySelector("output").textContent = values[i];
    row.classList.toggle("selected", i === selected);
  });
  $("drive").textContent = driving ? "Let go" : "Drive";
  $("drive").classList.toggle("driving", driving);
}

function sendValues(list) {
  if (socket && socket.readyState === WebSocket.OPEN) {
    sentAt.push(performance.now());
    lastSent = performance.now();
    socket.send(JSON.stringify({values: list}));
  }
}

function send() {
  if (driving) sendValues(values);
}

function startDriving() {
  if (!driving) { driving = true; $("released").textContent = ""; show(); }
}

function setValue(i, v) {
  if (i > LAST_SETTABLE || values.length === 0) return;
  values[i] = Math.max(0, Math.min(MAX, v));
  startDriving();
  show();
  send();
}

function setAll(list) {
  if (values.length === 0) return;
  for (let i = 0; i <= LAST_SETTABLE; i++) values[i] = list[i];
  startDriving();
  show();
  send();
}

// Letting go sends the neutral values at once rather than waiting for the
// server's dead-man; a game pad drives again only after its enable button
// was released and pressed anew.
function letGo(reason) {
  enableArmed = false;
  padDriving = false;
  if (!driving) return;
  driving = false;
  if (neutral) {
    values = neutral.slice();
    sendValues(values);
  }
  $("released").textContent = "let go: " + reason;
  show();
}

$("drive").addEventListener("click", () => { driving ? letGo("button") : (startDriving(), send()); });

// A page that is hidden or loses its window cannot be watched by its operator.
document.addEventListener("visibilitychange", () => { if (document.hidden) letGo("page hidden"); });
window.addEventListener("blur", () => { letGo("window left"); });
window.addEventListener("pagehide", () => { letGo("page left"); });
document.addEventListener("freeze", () => { letGo("page frozen"); });

const ARROWS = {ArrowUp: "w", ArrowDown: "s", ArrowRight: "d", ArrowLeft: "a"};
document.addEventListener("keydown", (event) => {
  const key = ARROWS[event.key] || event.key;
  if (key === "a" || key === "d") {
    selected = (selected + (key === "d" ? 1 : LAST_SETTABLE)) % (LAST_SETTABLE + 1);
    show();
  } else if (key === "w" || key === "s") {
    setValue(selected, values[selected] + (key === "w" ? 1 : -1));
  } else if (key === " ") {
    setValue(selected, 8);
  } else if (key === "0") {
    setAll(new Array(CHANNELS).fill(0));
  } else if (key === "n" && neutral) {
    setAll(neutral);
  } else if (key === "Escape" || key === "q") {
    letGo("key " + key);
  } else {
    return;
  }
  event.preventDefault();
});
