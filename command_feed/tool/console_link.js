"use strict";
// The links to the console: the camera stream, the control WebSocket and
// the warning when either fails the operator.

// The stream may start after the page, or restart: try again until it shows.
const video = $("video");
video.onerror = () => { setTimeout(() => { video.src = "stream?t=" + Date.now(); }, 2000); };
video.src = "stream";

function connect() {
  $("connection").textContent = "connecting";
  socket = new WebSocket((location.protocol === "https:" ? "wss://" : "ws://") + location.host +
                         location.pathname.replace(/[^/]*$/, "") + "control");
  socket.onopen = () => { $("connection").textContent = "connected"; };
  socket.onclose = (event) => {
    $("connection").textContent = "closed" + (event.code !== 1006 ? " (" + event.code + " " + event.reason + ")" : "");
    letGo("link closed");
    setTimeout(connect, 1000);
  };
  socket.onmessage = (event) => {
    const state = JSON.parse(event.data);
    neutral = state.neutral.slice();
    if (state.kind === "reply" && sentAt.length > 0) {
      $("rtt").textContent = (performance.now() - sentAt.shift()).toFixed(1) + " ms";
    }
    $("driver").textContent = state.driver;
    $("fps").textContent = state.fps + " fps";
    lastState = performance.now();
    pictureAge = state.frame_age_ms;
    $("age").textContent = pictureAge === null ? "-" : pictureAge + " ms";
    $("failsafe").textContent = state.neutral_in_force ? "neutral in force" : "driven";
    if (state.refused || (state.driver === "another" && driving)) letGo("another page drives");
    if (!driving) values = state.values.slice();
    show();
  };
}
connect();
// Seen at once: a picture too old to steer by, or the server gone quiet.
const OLD_PICTURE_MS = 300, QUIET_MS = 600;
setInterval(() => {
  const problems = [];
  if (!socket || socket.readyState !== WebSocket.OPEN || performance.now() - lastState > QUIET_MS) {
    problems.push("CONTROL LOST");
  }
  if (pictureAge !== null && pictureAge > OLD_PICTURE_MS) {
    problems.push("PICTURE " + pictureAge + " ms OLD");
  }
  $("warning").textContent = problems.join(" \u2014 ");
  $("warning").classList.toggle("shown", problems.length > 0);
}, 100);
