// The settings page: draws the state the server pushes, keeps the shown app in the address, and
// ties the settings, the preview and the actions together.
"use strict";

const updaters = new Map();  // key -> function(info) bringing its row up to date
let state = null;
let shownApp = null;

function showStatus(text, isError) {
  const status = document.getElementById("status");
  status.textContent = text || "";
  status.className = isError ? "error" : "";
}

function clearLostStatus() {
  if (document.getElementById("status").className === "error") showStatus("", false);
}

// Said once by a screen reader, whichever row it concerns; shown beside its field too.
function announce(text) {
  document.getElementById("alert").textContent = text;
  showStatus(text, true);
}

function showNotice(problem, remedy) {
  const notice = document.getElementById("notice");
  notice.replaceChildren(el("h2", {text: problem}), el("p", {text: remedy}));
  notice.setAttribute("role", "alert");
  notice.hidden = false;
  document.getElementById("layout").hidden = true;
  document.getElementById("tools").hidden = true;
}

function findKey(key) {
  for (const group of state.groups) {
    for (const info of group.keys) if (info.key === key) return info;
  }
  return null;
}

function refreshKey(key) {
  const info = findKey(key);
  if (info && updaters.has(key)) updaters.get(key)(info);
}

// The app named in the address (#app=NAME), so that a reload or a shared link shows it again.
function appInAddress() {
  const app = new URLSearchParams(location.hash.slice(1)).get("app");
  return state.groups.some((g) => g.app === app) ? app : null;
}

function showApp(app) {
  if (app === shownApp) return;
  shownApp = app;
  // A refusal belongs to the value typed; once the person has moved on, its cause is gone.
  errors.clear();
  editing.clear();
  history.replaceState(null, "", location.pathname + location.search + "#app=" + encodeURIComponent(app));
  document.getElementById("search").value = "";
  draw(true);
}

const kHeadings = {"enable key": "Switched on at launch", "setting": "Settings",
                   "file key": "Colours and counts"};

const banners = [];  // functions bringing each "does nothing while off" banner up to date

// Where an app's colours and counts wait on enable keys that are off, said above them.
function gateBanner(keys) {
  const banner = el("p", {class: "gate-banner"});
  banners.push(() => {
    const off = [...new Set(keys.map((k) => findKey(k.key)).filter((k) => !k.gateOn)
                                .map((k) => k.gate))];
    banner.hidden = off.length === 0;
    banner.textContent = "Dimmed settings do nothing while " + off.join(", ") +
      (off.length > 1 ? " are" : " is") + " off: switch " + (off.length > 1 ? "them" : "it") +
      " on under “Switched on at launch”; it applies when the app next starts.";
  });
  return banner;
}

function groupParts(keys) {
  const parts = [];
  for (const [source, heading] of Object.entries(kHeadings)) {
    const some = keys.filter((k) => k.source === source);
    if (some.length === 0) continue;
    parts.push(el("h2", {text: heading}));
    if (source === "file key") parts.push(gateBanner(some));
    parts.push(el("div", {class: "group"}, ...some.map(settingRow)));
  }
  return parts;
}

function searchParts(query) {
  const found = searchMatches(query);
  document.getElementById("search-count").textContent = found.length + " settings found";
  if (found.length === 0) return [el("p", {class: "empty", text: "No setting of any app matches “" + query + "”."})];
  const parts = [];
  for (const group of state.groups) {
    const keys = found.filter((f) => f.group === group).map((f) => f.info);
    if (keys.length > 0) parts.push(el("h2", {text: group.title}), el("div", {class: "group"}, ...keys.map(settingRow)));
  }
  return parts;
}

function drawSettings() {
  const pane = document.getElementById("settings");
  updaters.clear();
  banners.length = 0;
  const query = document.getElementById("search").value.trim();
  const group = state.groups.find((g) => g.app === shownApp);
  const parts = query ? searchParts(query) : groupParts(group.keys);
  if (!query && state.otherKeys.length > 0 && shownApp === "every") {
    parts.push(el("h2", {text: "Other keys in the file, kept as they are"}),
               el("div", {class: "group"}, ...state.otherKeys.map((k) =>
                 el("div", {class: "setting other"}, el("code", {text: k.key}), " " + k.shown))));
  }
  pane.replaceChildren(...parts);
  for (const row of pane.querySelectorAll(".setting[data-key]")) {
    linkOnHover(row, () => [row.dataset.key]);
  }
  refreshRows();
}

function refreshRows() {
  for (const key of updaters.keys()) refreshKey(key);
  for (const banner of banners) banner();
}

// The buttons are made once and brought up to date: one replaced under the pointer would lose the
// click, and the focus.
function drawApps() {
  const nav = document.getElementById("apps");
  if (nav.children.length === 0) {
    nav.replaceChildren(...state.groups.map((group) => {
      const button = el("button", {type: "button", "data-app": group.app},
                        el("span", {text: group.title}), el("span", {class: "count"}));
      button.addEventListener("click", () => showApp(group.app));
      return button;
    }));
  }
  for (const button of nav.children) {
    const app = button.dataset.app;
    const changed = sectionsOf(app).reduce((n, s) => n + s.rows.filter((r) => r.changed).length, 0);
    button.setAttribute("aria-current", String(app === shownApp));
    button.lastChild.textContent = changed ? changed + " changed" : "";
  }
}

function draw(appChanged) {
  const file = document.getElementById("file");
  const unreadable = state.file.status === "unreadable";
  file.textContent = unreadable
    ? "Cannot read " + state.settingsFile + " (" + state.file.problem + "): the preview keeps the last settings read."
    : state.settingsFile + (state.file.status === "missing" ? " (none yet: every key at its default)" : "");
  file.className = unreadable ? "unreadable" : "";
  document.getElementById("import-limit").textContent = "files up to " + state.bodyLimit + " bytes";
  // Focus stays where it is: the rows are redrawn only when the app changes.
  drawApps();
  if (appChanged) drawSettings();
  else refreshRows();
  drawPreview();
}

function onState(next) {
  const first = state === null;
  const before = first ? null : state;
  state = next;
  pending.clear();
  // A refusal is about the value the key had: once the file holds another, it no longer applies.
  if (before) {
    for (const key of [...errors.keys()]) {
      const was = before.groups.flatMap((g) => g.keys).find((k) => k.key === key);
      const now = findKey(key);
      if (!was || !now || was.value !== now.value || was.stored !== now.stored) errors.delete(key);
    }
  }
  if (first) shownApp = appInAddress() || state.groups[0].app;
  draw(first);
  if (first) performance.mark("vorla-first-state");
}

window.addEventListener("hashchange", () => { if (state && appInAddress()) showApp(appInAddress()); });
setUpActions();
follow(onState);
