// A picture of the shown app as the simulator saw it: every colour, alpha, text and count drawn
// is read from the preview's rows (the values the hooks answered), never from the settings.
"use strict";

(() => {
  const SVG = "http://www.w3.org/2000/svg";

  // The row of `hook` ("Class selector"): the app's own first, then the shared sections' (the
  // interface framework's, and the hooks of no app).
  function finder(sections, app) {
    const own = sections.filter((s) => s.app === app);
    const shared = sections.filter((s) => s.app !== app && (s.app === "every" || s.app === "none"));
    return (hook) => {
      for (const section of own.concat(shared)) {
        const row = section.rows.find((r) => r.hook === hook);
        if (row) return row;
      }
      return null;
    };
  }

  // What the hook's call answered with the library loaded: where the hook is not installed
  // (its enable key off), that is the app's own answer, as the row's "without" says.
  function measured(row) {
    return row && row.values ? row.values.with : null;
  }

  // The value a part shows: what the caller got for a getter, else the first argument the host
  // got; null when the host was not called or the answer was nil.
  function valueOf(row, argument = 0) {
    const m = measured(row);
    if (!m) return null;
    if (m.callerGot !== null && m.hostGot.length === 0) return m.callerGot;
    if (!m.hostCalled) return null;
    return m.hostGot.length > argument ? m.hostGot[argument] : m.callerGot;
  }

  function colourOf(text) {
    const m = /^#([0-9a-f]{6})([0-9a-f]{2})?$/i.exec(text || "");
    if (!m) return null;
    return {hex: "#" + m[1].toLowerCase(), alpha: m[2] ? parseInt(m[2], 16) / 255 : 1};
  }

  function textOf(value) {
    if (value === null) return null;
    return /^".*"$/s.test(value) ? value.slice(1, -1) : value;
  }

  // Reading values from rows: each part names its hook, so a test or a person can trace it.
  function reader(sections, app) {
    const find = finder(sections, app);
    return {
      row: find,
      colour: (hook, fallback) => colourOf(valueOf(find(hook))) || colourOf(fallback),
      text: (hook, fallback) => textOf(valueOf(find(hook))) ?? fallback,
      number: (hook, fallback) => {
        const n = parseFloat(valueOf(find(hook)));
        return Number.isFinite(n) ? n : fallback;
      },
      flags: (hook) => (measured(find(hook)) || {hostGot: []}).hostGot.map((f) => f === "YES"),
      called: (hook) => { const m = measured(find(hook)); return !m || m.hostCalled; },
      also: (hook, name) => {
        const m = measured(find(hook));
        const other = m && m.also.find((a) => a.startsWith(name + " "));
        return other ? colourOf(other.slice(name.length + 1)) : null;
      },
    };
  }

  // The drawing calls: elements made with createElementNS, texts set as textContent only.
  let clips = 0;  // clip paths made on this page: their ids stay unique across redraws

  function painter(svg) {
    const add = (tag, attributes, parent = svg) => {
      const node = document.createElementNS(SVG, tag);
      for (const [name, value] of Object.entries(attributes)) {
        if (value !== undefined && value !== null) node.setAttribute(name, String(value));
      }
      parent.append(node);
      return node;
    };
    const tagged = (node, part, hook) => {
      node.setAttribute("data-part", part);
      if (hook) node.setAttribute("data-hook", hook);
      return node;
    };
    return {
      add,
      rect(part, hook, x, y, w, h, colour, extra = {}) {
        return tagged(add("rect", Object.assign({x, y, width: w, height: h,
          fill: colour ? colour.hex : "none", "fill-opacity": colour ? colour.alpha : undefined},
          extra)), part, hook);
      },
      line(part, hook, x1, y1, x2, y2, colour) {
        return tagged(add("line", {x1, y1, x2, y2, stroke: colour ? colour.hex : "none",
          "stroke-opacity": colour ? colour.alpha : undefined}), part, hook);
      },
      // A text from the settings may be of any length: `box` ([x, y, w, h]) cuts it off there.
      text(part, hook, x, y, content, colour, extra = {}, box = null) {
        const node = tagged(add("text", Object.assign({x, y, fill: colour ? colour.hex : undefined,
          "fill-opacity": colour ? colour.alpha : undefined}, extra)), part, hook);
        if (box) {
          const id = "vorla-clip-" + (++clips);
          const clip = add("clipPath", {id});
          add("rect", {x: box[0], y: box[1], width: box[2], height: box[3]}, clip);
          node.setAttribute("clip-path", `url(#${id})`);
        }
        node.textContent = content;
        return node;
      },
    };
  }

  const WIDTH = 200;
  const HEIGHT = 380;

  function draw(container, state, app) {
    if (!container || !state || !state.preview) return;
    const scenes = window.vorlaDrawingScenes || {};
    const scene = scenes[app] || scenes.every;
    const svg = document.createElementNS(SVG, "svg");
    svg.setAttribute("viewBox", `0 0 ${WIDTH} ${HEIGHT}`);
    svg.setAttribute("role", "img");
    svg.setAttribute("data-app", app);
    const title = document.createElementNS(SVG, "title");
    title.textContent = "The app as the simulator sees it with the library";
    svg.append(title);
    const p = painter(svg);
    p.add("rect", {x: 1, y: 1, width: WIDTH - 2, height: HEIGHT - 2, rx: 22, class: "frame"});
    if (scene) scene(p, reader(state.preview.sections || [], app), {width: WIDTH, height: HEIGHT});
    container.replaceChildren(svg);
  }

  window.vorlaDrawing = {draw};
})();
