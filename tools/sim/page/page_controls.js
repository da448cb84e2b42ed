// Each setting's row: a control that shows the file's value unless the person is editing it,
// sends exactly what is typed, and keeps a refusal beside itself until its cause is gone.
"use strict";

const errors = new Map();   // key -> the refusal shown beside its control
const editing = new Set();  // keys whose field holds what the person is typing
const pending = new Map();  // key -> the text sent, shown until the state that holds it arrives

function el(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    if (name === "text") node.textContent = value;
    else node.setAttribute(name, value);
  }
  for (const child of children) node.append(child);
  return node;
}

function idFor(key, part) {
  return part + "-" + key.replace(/[^A-Za-z0-9_-]/g, (c) => "_" + c.charCodeAt(0) + "_");
}

// What a control shows: the text on its way to the file, else the file's value.
function shownValue(info) {
  return pending.has(info.key) ? pending.get(info.key) : info.value;
}

async function sendSetting(key, change) {
  pending.set(key, change.unset ? findKey(key).defaultValue : change.value);
  refreshKey(key);
  const answer = await sendChange(key, change);
  settle([key], answer, (change.unset ? "the reset of " : "the change of ") + key);
}

// Shows what became of a write of `keys`: its message, or its refusal beside each key's control
// and announced once. A write done is remembered for undo as `label`.
function settle(keys, answer, label) {
  for (const key of keys) {
    if (answer.ok) {
      errors.delete(key);
      editing.delete(key);
    } else {
      pending.delete(key);
      if (keys.length === 1) errors.set(key, answer.message);
    }
  }
  if (answer.ok) {
    showStatus(answer.message, false);
    rememberUndo(label, answer.undo);
    // A write that changed nothing brings no new state: stop showing the sent text anyway.
    setTimeout(() => { keys.forEach((k) => pending.delete(k)); keys.forEach(refreshKey); }, 1500);
  } else {
    announce(answer.message);
  }
  keys.forEach(refreshKey);
}

// The refusal a change is given before it is sent: one the server would refuse unread.
function sizeProblem(key, text) {
  const bytes = changeBytes(key, text);
  const limit = state.bodyLimit;
  if (bytes <= limit) return "";
  return "too long: with its key this change takes " + bytes + " bytes, more than the " + limit +
         " one change may hold; shorten it by " + (bytes - limit) + " bytes (letters outside " +
         "ASCII take 2 to 4 bytes each)";
}

function sizeHint(key, text) {
  const bytes = changeBytes(key, text);
  return bytes > state.bodyLimit / 2 ? bytes + " of " + state.bodyLimit + " bytes a change may hold" : "";
}

// A text field that sends its text when it is changed (Enter, or leaving it).
function textField(info, attributes) {
  const key = info.key;
  const field = el("input", Object.assign({type: "text", id: idFor(key, "field"),
                                           spellcheck: "false", autocomplete: "off"}, attributes));
  let lastShown = null;
  field.addEventListener("input", () => {
    editing.add(key);
    const problem = sizeProblem(key, field.value);
    if (problem) errors.set(key, problem);
    else errors.delete(key);
    refreshKey(key);
  });
  field.addEventListener("change", () => {
    if (field.value === lastShown) return;
    // Until its answer, the field holds the person's text: a refusal leaves it to be corrected.
    editing.add(key);
    const problem = sizeProblem(key, field.value);
    if (problem) return announce(problem);
    sendSetting(key, {value: field.value});
  });
  field.addEventListener("keydown", (event) => {
    if (event.key !== "Escape") return;
    editing.delete(key);
    errors.delete(key);
    refreshKey(key);
  });
  field.addEventListener("blur", () => {
    editing.delete(key);
    // Left, the field shows the file's value again, and a refusal already read goes with the
    // text it refused; one still to come (the change that leaving sent) is shown when it comes.
    if (!pending.has(key)) errors.delete(key);
    refreshKey(key);
  });
  const update = (now) => {
    field.classList.toggle("invalid", errors.has(key));
    field.setAttribute("aria-invalid", String(errors.has(key)));
    if (editing.has(key) && document.activeElement === field) return;
    lastShown = shownValue(now) === null ? now.shown : shownValue(now);
    field.value = lastShown;
    field.readOnly = now.value === null;
  };
  return {element: field, field, update,
          hint: () => (editing.has(key) ? sizeHint(key, field.value) : "")};
}

function switchControl(info) {
  const box = el("input", {type: "checkbox", role: "switch", id: idFor(info.key, "field")});
  box.addEventListener("change", () => sendSetting(info.key, {value: box.checked ? "on" : "off"}));
  return {element: el("span", {class: "switch"}, box, el("span", {"aria-hidden": "true"})),
          field: box, update: (now) => { box.checked = shownValue(now) === "on"; }};
}

// The picker, the alpha control and the text show one value: the file's, read by the server's
// colour reader, or what the person is choosing with the picker or the alpha control.
function colourControl(info) {
  const key = info.key;
  const text = textField(info, {class: "colour-text"});
  const picker = el("input", {type: "color", id: idFor(key, "picker"),
                              "aria-label": key + ": colour"});
  const alpha = el("input", {type: "range", min: "0", max: "1", step: "any",
                             id: idFor(key, "alpha"), "aria-label": key + ": opacity"});
  const chosen = () => {
    const a = +alpha.value;
    return a >= 1 ? picker.value : picker.value + ":" + a.toFixed(2);
  };
  // While the person drags the picker or the alpha, a state that arrives meanwhile (another
  // app's preview catching up, say) must not pull the three back under the pointer.
  let choosingNow = false;
  const choosing = () => {
    choosingNow = true;
    text.field.value = chosen();
  };
  const choose = () => {
    choosingNow = false;
    sendSetting(key, {value: chosen()});
  };
  for (const input of [picker, alpha]) {
    input.addEventListener("input", choosing);
    input.addEventListener("change", choose);
  }
  const update = (now) => {
    if (choosingNow) return;
    text.update(now);
    if (pending.has(key) || !now.colour) return;
    picker.value = now.colour.hex;
    alpha.value = String(now.colour.alpha);
    alpha.setAttribute("aria-valuetext", Math.round(now.colour.alpha * 100) + "% opaque");
  };
  return {element: el("span", {class: "colour-control"}, picker, alpha, text.element),
          field: text.field, update, hint: text.hint};
}

function choiceControl(info) {
  const select = el("select", {id: idFor(info.key, "field")});
  select.addEventListener("change", () => sendSetting(info.key, {value: select.value}));
  return {element: select, field: select, update: (now) => {
    const value = shownValue(now);
    const options = now.choices.map((c) => [c.code, c.code + " · " + c.meaning]);
    if (!now.choices.some((c) => c.code === value)) {
      options.unshift([value, value + " · chooses nothing: the app's own value"]);
    }
    select.replaceChildren(...options.map(([code, label]) => el("option", {value: code, text: label})));
    select.value = value;
  }};
}

function controlFor(info) {
  if (info.kind === "boolean") return switchControl(info);
  if (info.kind === "colour") return colourControl(info);
  if (info.choices.length > 0) return choiceControl(info);
  return textField(info, {inputmode: info.kind === "text" ? "text" : "decimal"});
}

function settingRow(info) {
  const key = info.key;
  const control = controlFor(info);
  const meaningId = idFor(key, "meaning"), errorId = idFor(key, "error");
  const accepts = info.kind === "text"
    ? "Any text, up to about " + state.bodyLimit + " bytes with its key"
    : info.kind === "double" || info.kind === "integer" ? "Accepts " + info.accepts : "";
  control.field.setAttribute("aria-describedby", meaningId + " " + errorId);
  const badge = el("span", {class: "badge"});
  const reset = el("button", {class: "reset", type: "button", text: "Reset",
                              "aria-label": "Reset " + key + " to its default"});
  reset.addEventListener("click", () => sendSetting(key, {unset: true}));
  const gateNote = el("p", {class: "gate-note"});
  const hint = el("span", {class: "hint"});
  const error = el("div", {class: "error-text", id: errorId});
  const row = el("div", {class: "setting kind-" + info.kind, "data-key": key},
                 el("div", {class: "row"},
                    el("div", {class: "name"},
                       el("label", {for: control.field.id}, el("code", {text: key})), badge,
                       el("div", {class: "meaning", id: meaningId, text: info.meaning +
                                  (accepts ? ". " + accepts + "." : "")})),
                    reset, control.element),
                 gateNote, hint, error);
  updaters.set(key, (now) => {
    control.update(now);
    badge.textContent = (now.stored ? "stored · " : "") + "default " + now.default;
    badge.className = now.stored ? "badge stored" : "badge";
    reset.hidden = !now.stored;
    error.textContent = errors.get(key) || "";
    hint.textContent = control.hint ? control.hint() : "";
    row.classList.toggle("inactive", !now.gateOn);
    gateNote.textContent = now.gateOn ? "" : "Does nothing while " + now.gate + " is off.";
  });
  return row;
}
