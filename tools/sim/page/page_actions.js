// What acts on many settings at once: the search across apps, reset of an app or of everything,
// export and import of the settings file, and undo of the page's last writes.
"use strict";

const undoStack = [];  // {label, body} or {label, bytes}: what puts the file back
const kMostUndos = 20;

// `body` comes with the server's answer, read under the lock of the write it undoes; a write that
// replaced a value the page cannot type, or too many to send back at once, cannot be undone.
function rememberUndo(label, body) {
  if (!body || !fits(JSON.stringify(body))) {
    showStatus(document.getElementById("status").textContent + " (this cannot be undone here)", false);
    return;
  }
  undoStack.push({label, body});
  if (undoStack.length > kMostUndos) undoStack.shift();
  drawUndo();
}

function drawUndo() {
  const button = document.getElementById("undo");
  const last = undoStack[undoStack.length - 1];
  button.disabled = !last;
  button.textContent = last ? "Undo " + last.label : "Undo";
}

async function undoLast() {
  const undo = undoStack.pop();
  drawUndo();
  if (!undo) return;
  const answer = undo.bytes ? await sendImport(undo.bytes) : await sendBatch(undo.body);
  if (answer.ok) showStatus("Undone: " + undo.label, false);
  else {
    undoStack.push(undo);
    drawUndo();
    announce("Cannot undo " + undo.label + ": " + answer.message);
  }
}

async function resetKeys(keys, label) {
  settle(keys, await sendChanges(keys.map((key) => ({key, unset: true}))), "the reset of " + label);
}

// Every key of the groups, stored or not as the page last heard: the file may have changed since.
function keysOf(groups) {
  return groups.flatMap((g) => g.keys.map((k) => k.key));
}

function resetShownApp() {
  const group = state.groups.find((g) => g.app === shownApp);
  resetKeys(keysOf([group]), group.title);
}

function resetEverything() {
  resetKeys(keysOf(state.groups), "every app");
}

async function exportFile() {
  const answer = await fetchExport();
  if (!answer.ok) return announce("Cannot export: " + answer.message);
  const link = el("a", {download: state.settingsFile.split("/").pop()});
  link.href = URL.createObjectURL(new Blob([answer.bytes], {type: "application/octet-stream"}));
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
  showStatus("Exported the settings file (" + answer.bytes.byteLength + " bytes)", false);
}

async function importFile(file) {
  if (file.size > state.bodyLimit) {
    return announce("Cannot import " + file.name + ": it is " + file.size + " bytes, and the " +
                    "page takes files of at most " + state.bodyLimit + " bytes; nothing was " +
                    "changed (vorla-prefs edits larger files key by key)");
  }
  // What the file holds now, to put back on undo.
  const before = await fetchExport();
  const answer = await sendImport(await file.arrayBuffer());
  if (!answer.ok) return announce("Cannot import " + file.name + ": " + answer.message);
  showStatus(answer.message, false);
  if (before.ok && before.bytes.byteLength <= state.bodyLimit) {
    undoStack.push({label: "the import of " + file.name, bytes: before.bytes});
    drawUndo();
  }
}

// Keys of every app whose name, app or meaning holds every word of the query.
function searchMatches(query) {
  const words = query.toLowerCase().split(/\s+/).filter((w) => w);
  const found = [];
  for (const group of state.groups) {
    for (const info of group.keys) {
      const text = [info.key, group.title, group.app, info.meaning].join(" ").toLowerCase();
      if (words.every((w) => text.includes(w))) found.push({group, info});
    }
  }
  return found;
}

function setUpActions() {
  document.getElementById("undo").addEventListener("click", undoLast);
  document.getElementById("reset-app").addEventListener("click", resetShownApp);
  document.getElementById("reset-all").addEventListener("click", resetEverything);
  document.getElementById("export").addEventListener("click", exportFile);
  const chooser = document.getElementById("import-file");
  document.getElementById("import").addEventListener("click", () => chooser.click());
  chooser.addEventListener("change", () => {
    if (chooser.files.length > 0) importFile(chooser.files[0]);
    chooser.value = "";
  });
  document.getElementById("search").addEventListener("input", () => drawSettings());
}
