// The dashboard: loads the units, the selected unit's history and the events from the API,
// then follows the live updates (server-sent events). Every address is relative, so that the
// page also works behind a reverse proxy under a path of its own.
'use strict';

const SIZES = ['4um', '6um', '14um', '21um'];
const SIZE_NAMES = ['4 \u00b5m', '6 \u00b5m', '14 \u00b5m', '21 \u00b5m'];
const VIEWS = {
  codes: { labels: SIZE_NAMES, value: (row) => row.isoCodes, axis: 'ISO code' },
  counts: { labels: SIZE_NAMES, value: (row) => row.counts, axis: 'Cum. counts/mL' },
  diagnostics: {
    labels: ['Laser current', 'Diode power', 'Temperature', 'Flow index'],
    value: (row) => [row.laserCurrent, row.diodePower, row.temperature, row.flowIndex],
    axis: '',
  },
};
const CHART_LIBRARY = typeof Dygraph !== 'undefined';
const MAX_EVENTS = 200;

const page = {
  units: new Map(),        // unit number -> unit object from the API
  selected: null,          // unit number of the chart
  view: 'codes',
  rows: [],                // history rows of the selected unit, oldest first
  capacity: 0,             // rows the server keeps of a unit: the chart keeps no more
  events: [],              // newest first
  serverOffsetMs: 0,       // server clock minus this browser's clock
  chart: null,
};

function $(id) { return document.getElementById(id); }

function element(tag, attributes = {}, text) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) node.setAttribute(name, value);
  if (text !== undefined) node.textContent = text;
  return node;
}

async function getJson(path) {
  const response = await fetch(path, { cache: 'no-store' });
  if (!response.ok) throw new Error(`${path}: ${response.status}`);
  return response.json();
}

function ageText(lastRecord) {
  if (!lastRecord) return 'no record yet';
  const now = Date.now() + page.serverOffsetMs;
  const seconds = Math.max(0, Math.floor((now - Date.parse(lastRecord)) / 1000));
  if (seconds < 120) return `${seconds} s ago`;
  if (seconds < 7200) return `${Math.floor(seconds / 60)} min ago`;
  if (seconds < 172800) return `${Math.floor(seconds / 3600)} h ago`;
  return `${Math.floor(seconds / 86400)} d ago`;
}

function itemText(unit, name) {
  const item = unit.items[name];
  if (!item) return '';
  return item.value === null ? 'no data' : item.text;
}

function unitLabel(unit) {
  const number = String(unit.unit);
  return unit.name && unit.name !== number ? `Unit ${number} (${unit.name})` : `Unit ${number}`;
}

function tile(unit) {
  const button = element('button', {
    type: 'button', class: 'tile', 'data-unit': unit.unit, 'data-state': unit.state,
    'aria-pressed': String(unit.unit === page.selected),
  });
  const head = element('div', { class: 'tile-head' });
  head.append(element('span', { class: 'tile-name' }, unitLabel(unit)),
              element('span', { class: 'tile-state' }, unit.stateText));
  const table = element('table');
  const headRow = element('tr');
  headRow.append(element('th', {}, ''), ...SIZE_NAMES.map((name) => element('th', {}, name)));
  const codes = element('tr');
  codes.append(element('th', { scope: 'row' }, 'ISO'),
               ...SIZES.map((size) => element('td', { class: 'code', 'data-item': `ISOCode${size}` },
                                              itemText(unit, `ISOCode${size}`))));
  const counts = element('tr');
  counts.append(element('th', { scope: 'row' }, '/mL'),
                ...SIZES.map((size) => element('td', { 'data-item': `Counts${size}` },
                                               itemText(unit, `Counts${size}`))));
  table.append(element('thead'), element('tbody'));
  table.tHead.append(headRow);
  table.tBodies[0].append(codes, counts);
  const foot = element('p', { class: 'tile-foot' });
  foot.append('Last record: ', element('span', { class: 'age', 'data-last': unit.lastRecord || '' },
                                       ageText(unit.lastRecord)));
  button.append(head, table, foot);
  if (unit.alarms.length) button.append(element('p', { class: 'tile-alarms' }, unit.alarms.join(', ')));
  button.addEventListener('click', () => select(unit.unit));
  return button;
}

function renderUnit(unit) {
  page.units.set(unit.unit, unit);
  const fresh = tile(unit);
  const old = document.querySelector(`.tile[data-unit="${unit.unit}"]`);
  if (old) old.replaceWith(fresh); else $('units').append(fresh);
}

function renderAges() {
  for (const age of document.querySelectorAll('.tile .age'))
    age.textContent = ageText(age.dataset.last || null);
}

function setServerTime(time) {
  if (time) page.serverOffsetMs = Date.parse(time) - Date.now();
}

function renderStatus(status) {
  $('status').textContent = `Broker ${status.broker}` +
    (status.demoMode ? ' \u00b7 demonstration mode' : '') +
    (status.dataLog ? ' \u00b7 data log on' : '');
}

async function loadUnits() {
  const document_ = await getJson('api/v1/units');
  setServerTime(document_.time);
  $('product').textContent = document_.product || 'GrainLink';
  document.title = document_.product || 'GrainLink';
  renderStatus(document_.status);
  $('units').replaceChildren();
  page.units.clear();
  for (const unit of document_.units) renderUnit(unit);
  if (!page.units.has(page.selected)) page.selected = document_.units.length ? document_.units[0].unit : null;
  markSelected();
}

function markSelected() {
  for (const node of document.querySelectorAll('.tile'))
    node.setAttribute('aria-pressed', String(Number(node.dataset.unit) === page.selected));
  const unit = page.units.get(page.selected);
  $('chart-title').textContent = unit ? `History of ${unitLabel(unit)}` : 'History';
  $('csv').href = page.selected ? `api/v1/units/${page.selected}/history?format=csv` : '#';
}

async function select(unit) {
  page.selected = unit;
  markSelected();
  await loadHistory();
}

async function loadHistory() {
  if (page.selected === null) { page.rows = []; drawChart(); return; }
  const history = await getJson(`api/v1/units/${page.selected}/history`);
  if (history.unit !== page.selected) return;
  page.rows = history.rows;
  page.capacity = history.capacity;
  drawChart();
}

function drawChart() {
  const view = VIEWS[page.view];
  const data = page.rows.filter((row) => row.time)
    .map((row) => [new Date(row.time), ...view.value(row)]);
  const drawn = CHART_LIBRARY && data.length > 0;
  $('chart-empty').hidden = drawn;
  $('chart').hidden = !drawn;
  $('chart-legend').hidden = !drawn;
  if (!drawn) return;
  const options = {
    labels: ['Time', ...view.labels], ylabel: view.axis, legend: 'always',
    // Above the plot rather than over its newest values; time labels wide enough for seconds.
    labelsDiv: $('chart-legend'), axes: { x: { axisLabelWidth: 72 } },
    labelsSeparateLines: false, includeZero: true, drawPoints: data.length < 60,
    colors: ['#1f77b4', '#d62728', '#2ca02c', '#e08a00'], strokeWidth: 1.5,
  };
  if (page.chart) page.chart.updateOptions({ file: data, ...options });
  else page.chart = new Dygraph($('chart'), data, options);
}

function setView(view) {
  page.view = view;
  for (const button of document.querySelectorAll('.views button'))
    button.setAttribute('aria-pressed', String(button.dataset.view === view));
  drawChart();
}

function renderEvents() {
  const rows = page.events.map((event) => {
    const row = element('tr', { 'data-severity': event.severity });
    const unit = event.unit === null ? '' : unitLabel({ unit: event.unit, name: event.name });
    row.append(element('td', {}, new Date(event.time).toLocaleString()), element('td', {}, unit),
               element('td', {}, event.event), element('td', {}, event.detail));
    return row;
  });
  $('events').tBodies[0].replaceChildren(...rows);
}

function addEvent(event) {
  if (page.events.some((known) => known.id === event.id)) return;
  page.events.unshift(event);
  page.events.sort((a, b) => b.id - a.id);
  page.events.length = Math.min(page.events.length, MAX_EVENTS);
  renderEvents();
}

async function loadEvents() {
  const document_ = await getJson(`api/v1/events?limit=${MAX_EVENTS}`);
  page.events = document_.events;
  renderEvents();
}

function setConnection(state, text) {
  $('connection').dataset.connection = state;
  $('connection').textContent = text;
}

async function loadAll() {
  try {
    await loadUnits();
    await Promise.all([loadHistory(), loadEvents()]);
  } catch (error) {
    setConnection('lost', `cannot load: ${error.message}`);
  }
}

function follow() {
  // Opened before the documents are loaded, so that nothing between the two is missed; after
  // a reconnection everything is loaded again.
  const source = new EventSource('api/v1/live');
  source.addEventListener('open', () => { setConnection('live', 'live'); loadAll(); });
  source.addEventListener('error', () => setConnection('lost', 'connection lost, retrying'));
  source.addEventListener('unit', (message) => {
    const unit = JSON.parse(message.data);
    if (page.units.has(unit.unit)) renderUnit(unit);
    else loadUnits();
    markSelected();
  });
  source.addEventListener('units', async () => {
    const selected = page.selected;
    await loadUnits();
    if (page.selected !== selected) await loadHistory();  // the selected unit went away
  });
  source.addEventListener('status', (message) => renderStatus(JSON.parse(message.data)));
  source.addEventListener('record', (message) => {
    const record = JSON.parse(message.data);
    if (record.unit !== page.selected) return;
    page.rows.push(record.row);
    page.rows.splice(0, page.rows.length - page.capacity);
    drawChart();
  });
  source.addEventListener('event', (message) => addEvent(JSON.parse(message.data)));
}

if (!CHART_LIBRARY)
  $('chart-empty').textContent = 'The chart library (libjs-dygraphs) is not installed on the server';
for (const button of document.querySelectorAll('.views button'))
  button.addEventListener('click', () => setView(button.dataset.view));
setInterval(renderAges, 1000);
follow();
