"use strict";
// Game pads: each channel may follow one axis (-1..1 across 0..15) or one
// button (released 0, pressed 15), and the pad drives only while its enable
// button is held. The mapping is kept in this browser.
const BUTTONS = [...Array(16).keys()].map((i) => "button " + i);
const INPUTS = ["none"].concat([...Array(8).keys()].map((i) => "axis " + i), BUTTONS);
const DEFAULT_MAPPING = {channels: ["axis 0", "axis 1", "axis 2", "axis 3"], enable: "button 4"};

// The stored mapping, or the default one with a note on the page when the
// stored one names no input (it stays stored until the operator changes one).
function storedMapping() {
  const text = localStorage.getItem("consoleMapping");
  if (text === null) return DEFAULT_MAPPING;
  try {
    const stored = JSON.parse(text);
    // A list of channel inputs is the mapping of pages without an enable
    // button; a channel never chosen is stored as null.
    const mapping = Array.isArray(stored) ? {channels: stored, enable: DEFAULT_MAPPING.enable} : stored;
    if (!mapping || !Array.isArray(mapping.channels) || mapping.channels.length > LAST_SETTABLE + 1) {
      throw new Error("not a list of up to " + (LAST_SETTABLE + 1) + " channel inputs");
    }
    const channels = mapping.channels.map((input) => input === null ? "none" : input);
    const wrong = channels.findIndex((input) => !INPUTS.includes(input));
    if (wrong >= 0) {
      throw new Error("channel " + wrong + " names " + JSON.stringify(channels[wrong]) + ", no input");
    }
    if (!BUTTONS.includes(mapping.enable)) {
      throw new Error("the enable button " + JSON.stringify(mapping.enable) + " is no button");
    }
    return {channels: channels, enable: mapping.enable};
  } catch (error) {
    $("mappingError").textContent = "Stored game pad mapping refused (" + error.message +
                                     "); the default mapping is used.";
    return DEFAULT_MAPPING;
  }
}

const mapping = storedMapping();
function mappingRow(label, names, current, change) {
  const row = $("mapping").insertRow();
  row.insertCell().textContent = label;
  const select = document.createElement("select");
  names.forEach((name) => select.add(new Option(name, name)));
  select.value = current;
  select.addEventListener("change", () => {
    change(select.value);
    localStorage.setItem("consoleMapping", JSON.stringify(mapping));
    $("mappingError").textContent = "";
  });
  row.insertCell().appendChild(select);
}
mappingRow("enable", BUTTONS, mapping.enable, (name) => { mapping.enable = name; });
for (let i = 0; i <= LAST_SETTABLE; i++) {
  mappingRow(i, INPUTS, mapping.channels[i] || "none", (name) => { mapping.channels[i] = name; });
}

function padValue(pad, input) {
  const [kind, index] = input.split(" ");
  if (kind === "axis" && index < pad.axes.length) {
    return Math.round((pad.axes[index] + 1) * MAX / 2);
  }
  if (kind === "button" && index < pad.buttons.length) {
    return pad.buttons[index].pressed ? MAX : 0;
  }
  return null;
}

function readPad() {
  const pad = (navigator.getGamepads ? [...navigator.getGamepads()] : []).find((p) => p && p.connected);
  $("pad").textContent = pad ? pad.id : "none";
  if (!pad) {
    $("enable").textContent = "no pad";
    if (padDriving) letGo("game pad lost");
    return;
  }
  const button = Number(mapping.enable.split(" ")[1]);
  const held = button < pad.buttons.length && pad.buttons[button].pressed;
  $("enable").textContent = (held ? "held" : "released") + " (" + mapping.enable + ")";
  if (!held) {
    if (padDriving) letGo("enable button released");
    enableArmed = true;
    return;
  }
  if (!padDriving && (!enableArmed || document.hidden || values.length === 0)) return;
  padDriving = true;
  mapping.channels.forEach((input, i) => {
    const value = input === "none" ? null : padValue(pad, input);
    if (value !== null) values[i] = value;
  });
  startDriving();
  show();
}

// One pass every TICK ms. Timers that come back after a sleep or a frozen
// page find the gap and let go instead of sending old values again; the
// wall clock is used because the page's own clock may stop while the
// machine sleeps.
setInterval(() => {
  const now = Date.now();
  if (now - lastTick > DEAD_MAN) letGo("page was asleep");
  lastTick = now;
  readPad();
  if (performance.now() - lastSent >= SEND_PERIOD) send();
}, TICK);
