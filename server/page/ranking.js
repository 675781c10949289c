// The ranking page: the server's entries, best first, a page at a time, filtered by the
// level the games started at. Everything the server sends is put in as text, never as markup:
// a name or a number is shown as it is, whatever it holds.
'use strict';

const kPageSize = 50;
// The six medals in the order an entry keeps them, with the letters a cell shows.
const kMedals = [['LV', 'level'], ['TM', 'time'], ['LN', 'lines'], ['CH', 'chain'],
                 ['ST', 'streak'], ['CO', 'collection']];
const kTiers = ['none', 'bronze', 'silver', 'gold'];
const kStartLevels = ['0', '15', '25', '35', '50', '70', '100'];

function byId(id) {
  return document.getElementById(id);
}

// What the address asks for: the start level ('' for all) and the first entry shown.
function wanted() {
  const query = new URLSearchParams(location.search);
  const level = query.get('start_level') || '';
  const offset = Number.parseInt(query.get('offset') || '0', 10);
  return {
    startLevel: kStartLevels.includes(level) ? level : '',
    offset: Number.isInteger(offset) && offset > 0 ? offset : 0,
  };
}

function show(view, push) {
  const query = new URLSearchParams();
  if (view.startLevel !== '') query.set('start_level', view.startLevel);
  if (view.offset > 0) query.set('offset', String(view.offset));
  const search = query.toString();
  const address = location.pathname + (search ? '?' + search : '');
  if (push) history.pushState(null, '', address);
  load(view);
}

function setStatus(text, problem) {
  const status = byId('status');
  status.textContent = text;
  status.classList.toggle('problem', problem);
}

// A cell with `text` as its text.
function cell(row, text, className) {
  const td = document.createElement('td');
  td.textContent = text === undefined || text === null ? '' : String(text);
  if (className) td.className = className;
  row.appendChild(td);
  return td;
}

// A whole number grouped in thousands; anything else as the server sent it.
function number(value) {
  return Number.isSafeInteger(value) ? value.toLocaleString('en-US') : String(value ?? '');
}

// The time played as the game shows it: minutes, seconds and hundredths.
function playTime(ms) {
  if (!Number.isSafeInteger(ms) || ms < 0) return String(ms ?? '');
  const two = (n) => String(n).padStart(2, '0');
  return two(Math.floor(ms / 60000)) + '\'' + two(Math.floor(ms / 1000) % 60) + '"' +
         two(Math.floor(ms / 10) % 100);
}

function date(text) {
  const match = /^(\d{4}-\d{2}-\d{2})T(\d{2}:\d{2})/.exec(String(text ?? ''));
  return match ? match[1] + ' ' + match[2] : String(text ?? '');
}

function medalsCell(row, medals) {
  const td = cell(row, '', 'medals');
  kMedals.forEach(([letters, kind], k) => {
    const tier = Array.isArray(medals) ? medals[k] : undefined;
    const badge = document.createElement('span');
    const known = Number.isInteger(tier) && tier >= 0 && tier < kTiers.length;
    badge.className = 'medal tier-' + (known ? tier : 0);
    badge.textContent = letters;
    badge.title = kind + ': ' + (known ? kTiers[tier] : String(tier));
    td.appendChild(badge);
  });
}

// The folder the page is served from: the API and the game are beside it, also behind a proxy
// that puts the server under a path of its own.
function base() {
  return location.pathname.substring(0, location.pathname.lastIndexOf('/') + 1);
}

function watchLink(row, entry) {
  const td = cell(row, '', 'watch');
  if (!Number.isSafeInteger(entry.id)) return;
  const link = document.createElement('a');
  link.textContent = 'Watch';
  link.href = base() + 'play/index.html?replay=' + base() + 'api/v1/games/' + entry.id + '/replay';
  td.appendChild(link);
}

function entryRow(entry) {
  const row = document.createElement('tr');
  if (entry.rank === 1) row.className = 'top';
  cell(row, entry.rank, 'num');
  cell(row, entry.name, 'name');
  cell(row, number(entry.score), 'num score');
  cell(row, number(entry.lines), 'num');
  cell(row, number(entry.level), 'num');
  cell(row, playTime(entry.time_ms), 'num');
  medalsCell(row, entry.medals);
  cell(row, entry.start_level, 'num');
  cell(row, date(entry.submitted), 'date');
  watchLink(row, entry);
  return row;
}

let loading = 0;  // the newest request; an older answer arriving late is dropped

async function load(view) {
  const mine = ++loading;
  byId('start-level').value = view.startLevel;
  const query = new URLSearchParams({limit: String(kPageSize), offset: String(view.offset)});
  if (view.startLevel !== '') query.set('start_level', view.startLevel);
  let answer;
  try {
    const response = await fetch(base() + 'api/v1/ranking?' + query, {cache: 'no-store'});
    answer = await response.json().catch(() => null);
    if (!response.ok) {
      const why = answer && typeof answer.error === 'string' ? answer.error : response.statusText;
      throw new Error(response.status + ' ' + why);
    }
    if (!answer || !Array.isArray(answer.entries)) throw new Error('the answer holds no entries');
  } catch (error) {
    if (mine !== loading) return;
    setStatus('The ranking could not be loaded: ' + error.message, true);
    return;
  }
  if (mine !== loading) return;
  const body = byId('entries');
  body.replaceChildren(...answer.entries.map(entryRow));
  const total = Number.isSafeInteger(answer.total) ? answer.total : answer.entries.length;
  const first = view.offset + 1;
  const last = view.offset + answer.entries.length;
  const which = view.startLevel === '' ? '' : ' started at level ' + view.startLevel;
  if (total === 0) setStatus('No game' + which + ' has been sent yet.', false);
  else setStatus(total + (total === 1 ? ' game' : ' games') + which + '.', false);
  byId('shown').textContent = answer.entries.length ? first + '\u2013' + last + ' of ' + total : '';
  byId('previous').disabled = view.offset === 0;
  byId('next').disabled = last >= total;
  byId('previous').onclick = () =>
    show({startLevel: view.startLevel, offset: Math.max(0, view.offset - kPageSize)}, true);
  byId('next').onclick = () =>
    show({startLevel: view.startLevel, offset: view.offset + kPageSize}, true);
}

byId('start-level').addEventListener('change', (event) =>
  show({startLevel: event.target.value, offset: 0}, true));
window.addEventListener('popstate', () => show(wanted(), false));
byId('play').href = base() + 'play/index.html';
show(wanted(), false);
