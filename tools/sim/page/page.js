// The settings page: draws the state the server pushes, and sends each change the user makes.
"use strict";

const token = new URLSearchParams(location.search).get("token") || "";
const updaters = new Map();  // key -> function(info) bringing its control up to date
const errors = new Map();    // key -> the refusal shown under it
let state = null;
let shownApp = null;

function el(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    if (name === "text") node.textContent = value;
    else node.setAttribute(name, value);
  }
  for (const child of children) node.append(child);
  return node;
}

function showStatus(text, isError) {
  const status = document.getElementById("status");
  status.textContent = text;
  status.className = isError ? "error" : "";
}

async function send(key, change) {
  let answer = {};
  let ok = false;
  try {
    const response = await fetch("/settings", {
      method: "POST",
      headers: {"Content-Type": "application/json", "X-Vorla-Token": token},
      body: JSON.stringify(Object.assign({key}, change)),
    });
    ok = response.ok;
    answer = await response.json().catch(() => ({error: "HTTP " + response.status}));
  } catch (failure) {
    answer = {error: "the server cannot be reached: " + failure.message};
  }
  if (ok) {
    errors.delete(key);
    showStatus(answer.message, false);
  } else {
    errors.set(key, answer.error);
    showStatus(answer.error, true);
  }
  refreshKey(key);
}

function refreshKey(key) {
  const info = findKey(key);
  if (info && updaters.has(key)) updaters.get(key)(info);
}

function findKey(key) {
  for (const group of state.groups) {
    for (const info of group.keys) if (info.key === key) return info;
  }
  return null;
}

// The text the key has now: what is stored, else the library's default.
function currentText(info) {
  return info.stored && info.text !== null ? info.text : info.default.split(" / ")[0];
}

// A text field that sends its value when it is changed, and keeps a refused value in view.
function textField(info, field) {
  field.addEventListener("change", () => send(info.key, {value: field.value}));
  return (now) => {
    if (document.activeElement !== field && !errors.has(now.key)) field.value = currentText(now);
    field.classList.toggle("invalid", errors.has(now.key));
  };
}

function switchControl(info) {
  const box = el("input", {type: "checkbox", role: "switch", "aria-label": info.key});
  box.addEventListener("change", () => send(info.key, {value: box.checked ? "on" : "off"}));
  return [el("label", {class: "switch"}, box, el("span")),
          (now) => { box.checked = currentText(now) === "on"; }];
}

// "#rrggbb", "#rgb", "#rrggbbaa" or "#rrggbb:alpha" as a colour and an alpha; null otherwise.
function colourParts(text) {
  let m = /^#([0-9a-f]{6})(?::([0-9.]+))?$/i.exec(text);
  if (m) return {hex: "#" + m[1].toLowerCase(), alpha: m[2] === undefined ? 1 : Math.min(1, +m[2])};
  m = /^#([0-9a-f]{6})([0-9a-f]{2})$/i.exec(text);
  if (m) return {hex: "#" + m[1].toLowerCase(), alpha: parseInt(m[2], 16) / 255};
  m = /^#([0-9a-f])([0-9a-f])([0-9a-f])$/i.exec(text);
  if (m) return {hex: ("#" + m[1] + m[1] + m[2] + m[2] + m[3] + m[3]).toLowerCase(), alpha: 1};
  return null;
}

function colourControl(info) {
  const picker = el("input", {type: "color", "aria-label": info.key + " colour"});
  const alpha = el("input", {type: "range", min: "0", max: "1", step: "0.05",
                             "aria-label": info.key + " alpha", title: "alpha"});
  const field = el("input", {type: "text", "aria-label": info.key, spellcheck: "false"});
  const update = textField(info, field);
  const sendPicked = () => {
    const a = +alpha.value;
    send(info.key, {value: a >= 1 ? picker.value : picker.value + ":" + a.toFixed(2)});
  };
  picker.addEventListener("change", sendPicked);
  alpha.addEventListener("change", sendPicked);
  return [el("span", {class: "row"}, picker, alpha, field), (now) => {
    update(now);
    const parts = colourParts(currentText(now));
    if (parts) {
      picker.value = parts.hex;
      alpha.value = String(parts.alpha);
    }
  }];
}

function choiceControl(info) {
  const select = el("select", {"aria-label": info.key});
  select.addEventListener("change", () => send(info.key, {value: select.value}));
  return [select, (now) => {
    const value = currentText(now);
    const options = now.choices.map((c) => [c.code, c.code + " · " + c.meaning]);
    if (!now.choices.some((c) => c.code === value)) {
      options.unshift([value, value + " · chooses nothing: the app's own value"]);
    }
    select.replaceChildren(...options.map(([code, label]) => el("option", {value: code, text: label})));
    select.value = value;
  }];
}

function settingRow(info) {
  let control;
  if (info.kind === "boolean") control = switchControl(info);
  else if (info.kind === "colour") control = colourControl(info);
  else if (info.choices.length > 0) control = choiceControl(info);
  else {
    const field = el("input", {type: "text", "aria-label": info.key, spellcheck: "false",
                               inputmode: info.kind === "text" ? "text" : "decimal"});
    control = [field, textField(info, field)];
  }
  const badge = el("span", {class: "badge"});
  const reset = el("button", {class: "reset", type: "button", text: "Reset"});
  reset.addEventListener("click", () => send(info.key, {unset: true}));
  const error = el("div", {class: "error-text", role: "alert"});
  const wide = info.kind === "colour" || info.choices.length > 0;
  const row = el("div", {class: wide ? "setting wide" : "setting", "data-key": info.key},
                 el("div", {class: "row"},
                    el("div", {class: "name"}, el("code", {text: info.key}), badge,
                       el("div", {class: "meaning", text: info.meaning})),
                    reset, control[0]),
                 error);
  updaters.set(info.key, (now) => {
    control[1](now);
    badge.textContent = (now.stored ? "stored · " : "") + "default " + now.default;
    badge.className = now.stored ? "badge stored" : "badge";
    reset.hidden = !now.stored;
    error.textContent = errors.get(now.key) || "";
  });
  return row;
}

function drawSettings() {
  const pane = document.getElementById("settings");
  updaters.clear();
  const group = state.groups.find((g) => g.app === shownApp);
  const bySource = {"enable key": "Switched on at launch", "setting": "Settings",
                    "file key": "Colours and counts"};
  const parts = [];
  for (const [source, heading] of Object.entries(bySource)) {
    const keys = group.keys.filter((k) => k.source === source);
    if (keys.length === 0) continue;
    parts.push(el("h2", {text: heading}), el("div", {class: "group"}, ...keys.map(settingRow)));
  }
  if (state.otherKeys.length > 0 && shownApp === "every") {
    parts.push(el("h2", {text: "Other keys in the file, kept as they are"}),
               el("div", {class: "group"}, ...state.otherKeys.map((k) =>
                 el("div", {class: "setting"}, el("code", {text: k.key}), " " + k.shown))));
  }
  pane.replaceChildren(...parts);
}

// The text with a swatch before each colour written #rrggbb or #rrggbbaa.
function withSwatches(text) {
  const cell = el("td");
  let last = 0;
  for (const m of text.matchAll(/#[0-9a-f]{6}(?:[0-9a-f]{2})?\b/g)) {
    cell.append(text.slice(last, m.index));
    const swatch = el("span", {class: "swatch"});
    swatch.style.background = m[0];
    cell.append(el("span", {class: "colour"}, swatch, m[0]));
    last = m.index + m[0].length;
  }
  cell.append(text.slice(last));
  return cell;
}

function sectionsOf(app) {
  return state.preview.sections.filter((s) => s.app === app || (app === "every" && s.app === "none"));
}

function drawPreview() {
  const pane = document.getElementById("preview");
  const parts = [];
  if (state.preview.updating) parts.push(el("p", {class: "summary updating", text: "Updating the preview…"}));
  if (state.preview.problem) parts.push(el("p", {class: "error-text", text: state.preview.problem}));
  for (const section of sectionsOf(shownApp)) {
    const head = el("tr", {}, ...["Hook", "Status", "Host passed", "Without the library",
                                  "With the library"].map((t) => el("th", {text: t})));
    const rows = section.rows.map((r) => {
      const [receiver, selector] = r.hook.split(" ");
      const hook = el("td", {}, el("code", {text: receiver}),
                      el("code", {class: "selector", text: selector}));
      const row = el("tr", {}, hook, el("td", {text: r.status}),
                     withSwatches(r.passed), withSwatches(r.without), withSwatches(r.with));
      row.className = (r.installed ? "" : "off") + (r.changed ? " changed" : "");
      return row;
    });
    parts.push(el("div", {class: "preview-section"}, el("h3", {text: section.title}),
                  el("p", {class: "summary", text: section.summary}),
                  ...(section.note ? [el("p", {class: "note", text: section.note})] : []),
                  el("table", {}, el("thead", {}, head), el("tbody", {}, ...rows))));
  }
  pane.replaceChildren(...parts);
  window.vorlaDrawing && vorlaDrawing.draw(document.getElementById("drawing"), state, shownApp);
}

function drawApps() {
  const nav = document.getElementById("apps");
  nav.replaceChildren(...state.groups.map((group) => {
    const changed = sectionsOf(group.app).reduce(
      (n, s) => n + s.rows.filter((r) => r.changed).length, 0);
    const button = el("button", {type: "button", "data-app": group.app,
                                 "aria-current": String(group.app === shownApp)},
                      el("span", {text: group.title}),
                      el("span", {class: "count", text: changed ? changed + " changed" : ""}));
    button.addEventListener("click", () => { shownApp = group.app; draw(true); });
    return button;
  }));
}

function draw(appChanged) {
  const file = document.getElementById("file");
  const unreadable = state.file.status === "unreadable";
  file.textContent = unreadable
    ? "Cannot read " + state.settingsFile + " (" + state.file.problem + "): the preview keeps the last settings read."
    : state.settingsFile + (state.file.status === "missing" ? " (none yet: every key at its default)" : "");
  file.className = unreadable ? "unreadable" : "";
  drawApps();
  if (appChanged) drawSettings();
  for (const group of state.groups) for (const info of group.keys) refreshKey(info.key);
  drawPreview();
}

const events = new EventSource("/events?token=" + encodeURIComponent(token));
events.onmessage = (event) => {
  const first = state === null;
  state = JSON.parse(event.data);
  if (first) shownApp = state.groups[0].app;
  draw(first);
};
events.onerror = () => showStatus("The connection to vorla-sim was lost; trying again…", true);
