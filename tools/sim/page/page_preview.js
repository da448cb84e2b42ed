// The preview beside the settings: the shown app's hooks as vorla-sim reports them, each row
// linked to the keys it reads, so that pointing at one highlights the other.
"use strict";

// The text with a swatch before each colour written #rrggbb or #rrggbbaa.
function withSwatches(text) {
  const cell = el("td");
  let last = 0;
  for (const m of text.matchAll(/#[0-9a-f]{6}(?:[0-9a-f]{2})?\b/g)) {
    cell.append(text.slice(last, m.index));
    const swatch = el("span", {class: "swatch", "aria-hidden": "true"});
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

// The keys a row answers to: its enable key and the settings-file key it reads.
function keysOfRow(row) {
  return [row.enableKey, row.fileKey].filter((k) => k);
}

function highlight(keys) {
  const wanted = new Set(keys);
  for (const node of document.querySelectorAll("#preview tbody tr")) {
    node.classList.toggle("linked", node.dataset.keys.split(" ").some((k) => wanted.has(k)));
  }
  for (const node of document.querySelectorAll("#settings .setting[data-key]")) {
    node.classList.toggle("linked", wanted.has(node.dataset.key));
  }
}

// Pointing at or focusing a setting highlights its rows, and a row its settings.
function linkOnHover(node, keysOf) {
  const on = () => highlight(keysOf());
  const off = () => highlight([]);
  node.addEventListener("mouseenter", on);
  node.addEventListener("mouseleave", off);
  node.addEventListener("focusin", on);
  node.addEventListener("focusout", off);
}

function previewRow(r) {
  const [receiver, selector] = r.hook.split(" ");
  const hook = el("td", {}, el("code", {text: receiver}),
                  el("code", {class: "selector", text: selector}));
  const row = el("tr", {"data-keys": keysOfRow(r).join(" ")}, hook, el("td", {text: r.status}),
                 withSwatches(r.passed), withSwatches(r.without), withSwatches(r.with));
  row.className = (r.installed ? "" : "off") + (r.changed ? " changed" : "");
  if (keysOfRow(r).length > 0) {
    row.tabIndex = 0;
    row.setAttribute("aria-label", r.hook + ", read from " + keysOfRow(r).join(" and "));
    linkOnHover(row, () => keysOfRow(r));
  }
  return row;
}

function drawPreview() {
  const pane = document.getElementById("preview");
  const parts = [];
  if (state.preview.updating) parts.push(el("p", {class: "summary updating", text: "Updating the preview…"}));
  if (state.preview.problem) parts.push(el("p", {class: "error-text", text: state.preview.problem}));
  for (const section of sectionsOf(shownApp)) {
    const head = el("tr", {}, ...["Hook", "Status", "Host passed", "Without the library",
                                  "With the library"].map((t) => el("th", {text: t, scope: "col"})));
    parts.push(el("div", {class: "preview-section"}, el("h3", {text: section.title}),
                  el("p", {class: "summary", text: section.summary}),
                  ...(section.note ? [el("p", {class: "note", text: section.note})] : []),
                  el("div", {class: "table-scroll"},
                     el("table", {}, el("thead", {}, head),
                        el("tbody", {}, ...section.rows.map(previewRow))))));
  }
  pane.replaceChildren(...parts);
  window.vorlaDrawing && vorlaDrawing.draw(document.getElementById("drawing"), state, shownApp);
}
