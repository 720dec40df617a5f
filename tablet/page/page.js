"use strict";
// The page of the flight on a tablet: everything it shows comes from Brimwell's WebSocket as
// JSON and goes into the page as text (textContent), never as markup.
(() => {
  const svgNs = "http://www.w3.org/2000/svg";
  // Silent for four of Brimwell's beats, the connection is lost.
  let lostAfterMs = 4000;
  let units = "lbs";
  let planned = [];
  let flown = [];
  let lastFigures = null;
  let socket = null;
  let quiet = null;
  let retries = 0;

  const byId = (id) => document.getElementById(id);
  const setText = (id, text) => {
    const element = byId(id);
    if (element) element.textContent = text;
  };
  const none = (value) => value === null || value === undefined;
  const weight = (value) => (none(value) ? "–" : `${value} ${units}`);
  const signed = (value) => (none(value) ? "–" : `${value > 0 ? "+" : ""}${value} ${units}`);
  const clock = (time) => new Date(time * 1000).toISOString().slice(11, 19);

  function showPlan(plan) {
    if (!plan || !plan.cells) return;
    units = plan.units;
    setText("units", `weights in ${units}`);
    for (const [name, text] of Object.entries(plan.cells)) setText(name, text);
    for (const cell of document.querySelectorAll("td.red")) cell.classList.remove("red");
    for (const name of plan.red) {
      const cell = byId(name);
      if (cell) cell.classList.add("red");
    }
    planned = plan.planned_line || [];
    drawPlot();
  }

  function showReading(reading) {
    if (!reading) return;
    if (!none(reading.refusal)) {
      setText("note", `${clock(reading.time)} ${reading.refusal}`);
      return;
    }
    setText("phase", reading.phase);
    if (none(reading.fuel_on_board)) {
      setText("note", `${clock(reading.time)} ${reading.phase}: not checked`);
      return;
    }
    setText("note", "");
    const travelled = reading.progress_from === "distance travelled";
    setText("distance_flown_nm", `${reading.distance_flown_nm} nm${travelled ? " travelled" : ""}`);
    setText("distance_to_go_nm", `${reading.distance_to_go_nm} nm`);
    setText("off_route_nm", none(reading.off_route_nm) ? "–" : `${reading.off_route_nm.toFixed(1)} nm`);
    setText("fuel_on_board", weight(reading.fuel_on_board));
    setText("planned_fuel_on_board", weight(reading.planned_fuel_on_board));
    setText("difference", signed(reading.difference));
    setText("predicted_landing_fuel", weight(reading.predicted_landing_fuel));
    setText("predicted_landing_fuel_at_current_burn",
            weight(reading.predicted_landing_fuel_at_current_burn));
    setText("planned_landing_fuel", weight(reading.planned_landing_fuel));
    setText("reserves", weight(reading.reserves));
    setText("burn_factor", none(reading.burn_factor) ? "–" : reading.burn_factor.toFixed(3));
    setText("fuel_flow_per_hour", `${weight(reading.fuel_flow_per_hour)}/h`);
    setText("status", reading.status);
    byId("status").dataset.status = reading.status;
    lastFigures = reading.time;
  }

  function addFix(fix) {
    const row = document.createElement("tr");
    const texts = [fix.ident, fix.distance_nm.toFixed(1), clock(fix.time), weight(fix.fuel_on_board),
                   weight(fix.planned_fuel_on_board), signed(fix.difference)];
    for (const text of texts) {
      const cell = document.createElement("td");
      cell.textContent = text;
      row.append(cell);
    }
    byId("fixes").append(row);
  }

  function showLanded(summary) {
    if (!summary) return;
    setText("phase", "landed");
    setText("note", `Landed at ${clock(summary.time)} with ${weight(summary.fuel_on_board)} on board: ` +
                    `${weight(summary.trip_burn)} burnt against ${weight(summary.planned_trip_burn)} planned.`);
  }

  function svg(name, attributes, text) {
    const element = document.createElementNS(svgNs, name);
    for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, value);
    if (!none(text)) element.textContent = text;
    return element;
  }

  // Fuel on board (up) against the distance flown (across), the plan dashed, the flight solid.
  function drawPlot() {
    const plot = byId("plot");
    const [left, top, width, height] = [70, 10, 510, 210];
    const points = planned.concat(flown);
    plot.replaceChildren();
    if (points.length === 0) return;
    const most = (index) => Math.max(1, ...points.map((p) => p[index]));
    const [farthest, heaviest] = [most(0), most(1)];
    const x = (nm) => left + (width * nm) / farthest;
    const y = (fuel) => top + height - (height * fuel) / heaviest;
    const line = (list) => list.map((p) => `${x(p[0]).toFixed(1)},${y(p[1]).toFixed(1)}`).join(" ");
    plot.append(svg("path", {class: "axis", d: `M${left},${top}V${top + height}H${left + width}`}));
    plot.append(svg("text", {x: left - 6, y: top + 12, "text-anchor": "end"}, `${heaviest}`));
    plot.append(svg("text", {x: left - 6, y: top + height, "text-anchor": "end"}, "0"));
    plot.append(svg("text", {x: left + width, y: top + height + 22, "text-anchor": "end"},
                    `${Math.round(farthest)} nm`));
    plot.append(svg("text", {x: left + 4, y: top + height + 22}, units));
    plot.append(svg("polyline", {class: "planned", points: line(planned)}));
    plot.append(svg("polyline", {class: "flown", points: line(flown)}));
  }

  function receive(message) {
    if (message.type === "snapshot") {
      lostAfterMs = 4 * message.beat_ms;
      showPlan(message.plan);
      flown = message.plot || [];
      byId("fixes").replaceChildren();
      for (const fix of message.fixes || []) addFix(fix);
      showReading(message.reading);
      showLanded(message.landed);
      drawPlot();
    } else if (message.type === "plan") {
      showPlan(message.plan);
    } else if (message.type === "reading") {
      showReading(message.reading);
      if (message.point) {
        flown.push(message.point);
        drawPlot();
      }
    } else if (message.type === "fix") {
      addFix(message.fix);
    } else if (message.type === "landed") {
      showLanded(message.landed);
    }
  }

  function lost() {
    document.body.classList.add("lost");
    const since = none(lastFigures) ? "" : `; figures of ${clock(lastFigures)} UTC`;
    setText("connection", `Connection lost${since}. Reconnecting…`);
  }

  // The connection given up: told at once, whatever the closing takes, and tried again.
  function giveUp() {
    clearTimeout(quiet);
    socket.onclose = null;
    socket.onmessage = null;
    socket.close();
    lost();
    setTimeout(connect, Math.min(4000, 250 * 2 ** retries++));
  }

  function listen() {
    clearTimeout(quiet);
    quiet = setTimeout(giveUp, lostAfterMs);
  }

  function connect() {
    socket = new WebSocket(`ws://${location.host}/live`);
    listen();
    socket.onopen = () => {
      retries = 0;
      document.body.classList.remove("lost");
      setText("connection", "Connected");
    };
    socket.onmessage = (event) => {
      listen();
      receive(JSON.parse(event.data));
    };
    socket.onclose = giveUp;
  }

  connect();
})();
