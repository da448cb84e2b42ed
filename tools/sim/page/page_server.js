// The page's conversation with vorla-sim: the stream of its state, and every write the page
// makes, each carrying the token of the address vorla-sim printed.
"use strict";

const token = new URLSearchParams(location.search).get("token") || "";

// The answer of a write: {ok, message} where message is the server's "message" or "error".
async function post(path, body, type) {
  let response;
  try {
    response = await fetch(path, {
      method: "POST", body,
      headers: {"Content-Type": type, "X-Vorla-Token": token},
    });
  } catch (failure) {
    return {ok: false, message: "vorla-sim cannot be reached (" + failure.message +
                                "): nothing was changed"};
  }
  if (response.ok && path === "/settings/export") {
    return {ok: true, bytes: await response.arrayBuffer()};
  }
  const answer = await response.json().catch(() => ({error: "HTTP " + response.status}));
  if (response.status === 403 && /token/.test(answer.error || "")) addressExpired();
  return {ok: response.ok, message: response.ok ? answer.message : answer.error,
          undo: answer.undo || null};
}

// The bytes a change's request takes: the server refuses a body past state.bodyLimit unread.
function changeBytes(key, value) {
  return new TextEncoder().encode(JSON.stringify({key, value})).length;
}

function sendChange(key, change) {
  return post("/settings", JSON.stringify(Object.assign({key}, change)), "application/json");
}

// Several changes as one body: keys and texts only, so that a reset of every key fits in one.
function changesBody(changes) {
  const set = {}, unset = [];
  for (const change of changes) {
    if (change.unset) unset.push(change.key);
    else set[change.key] = change.value;
  }
  return JSON.stringify({set, unset});
}

function fits(body) {
  return new TextEncoder().encode(body).length <= state.bodyLimit;
}

// `body` as the server's answers give it to put back what a write replaced.
function sendBatch(body) {
  const text = JSON.stringify(body);
  if (!fits(text)) {
    return {ok: false, message: "these changes take more than the " + state.bodyLimit +
                                " bytes one write may hold; nothing was changed"};
  }
  return post("/settings/batch", text, "application/json");
}

function sendChanges(changes) {
  return sendBatch(JSON.parse(changesBody(changes)));
}

function sendImport(bytes) {
  return post("/settings/import", bytes, "application/octet-stream");
}

function fetchExport() {
  return post("/settings/export", "{}", "application/json");
}

// A page whose token is not this run's can do nothing: every run of vorla-sim --serve makes a
// new one, so the only remedy is the address the running server printed.
function addressExpired() {
  stopFollowing();
  showNotice(token === ""
    ? "This address has no token, so the page cannot read or change the settings."
    : "This address is no longer valid: vorla-sim was restarted, and every run makes a new one.",
    "Run vorla-sim --serve again (or look at the terminal where it runs) and open the address it " +
    "prints, http://127.0.0.1:PORT/?token=…");
}

let events = null;

function stopFollowing() {
  if (events) events.close();
  events = null;
}

// Tells apart a lost server (the stream retries by itself) from a refused token (it does not).
async function diagnoseLostStream() {
  try {
    const controller = new AbortController();
    const response = await fetch("/events?token=" + encodeURIComponent(token),
                                 {signal: controller.signal});
    controller.abort();
    if (response.status === 403) return addressExpired();
  } catch (failure) {
    // Not answering at all: vorla-sim stopped, and the stream keeps trying.
  }
  showStatus("The connection to vorla-sim was lost; trying again… If it was stopped, run " +
             "vorla-sim --serve again and open the new address it prints.", true);
}

function follow(onState) {
  if (token === "") return addressExpired();
  events = new EventSource("/events?token=" + encodeURIComponent(token));
  events.onmessage = (event) => onState(JSON.parse(event.data));
  events.onopen = () => clearLostStatus();
  events.onerror = () => diagnoseLostStream();
}
