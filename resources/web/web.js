// Blokpost's pages: the state comes over a WebSocket after every change; a
// lost connection is made again by itself. Texts are set as text, never as markup.
'use strict';

const bediening = document.body.classList.contains('bediening');

function el(tag, text, cls) {
  const e = document.createElement(tag);
  if (text !== undefined) e.textContent = text;
  if (cls) e.className = cls;
  return e;
}

function row(cells) {
  const tr = el('tr');
  for (const c of cells) tr.append(c instanceof Node ? c : el('td', String(c)));
  return tr;
}

function td(text, cls) { return el('td', text, cls); }

async function act(lijn, doe) {
  const antwoord = document.getElementById('antwoord');
  antwoord.textContent = '…';
  try {
    const r = await fetch('/api/lijn', {
      method: 'POST',
      headers: {'Content-Type': 'application/json'},
      body: JSON.stringify({lijn, doe, pin: document.getElementById('pin').value}),
    });
    const a = await r.json();
    antwoord.textContent = a.melding;
    antwoord.className = 'antwoord ' + (r.ok ? 'goed' : 'fout');
  } catch (e) {
    antwoord.textContent = 'Geen antwoord van de laptop.';
    antwoord.className = 'antwoord fout';
  }
}

// A line's row is made once and then filled in place, so a finger on its
// button is not lost when the next state comes in mid-tap.
const cells = ['staat', 'stap', 'wacht', 'sinds', 'normaal', 'merk'];

function lineRow(l) {
  const tr = row([td(l.lijn, 'naam'), ...cells.map(c => td('', c))]);
  tr.dataset.lijn = l.lijn;
  const b = el('button');
  b.addEventListener('click', () => act(l.nr, tr.dataset.loopt === 'ja' ? 'stop' : 'start'));
  const knop = td('');
  knop.append(b);
  tr.append(knop);
  return tr;
}

function fillRow(tr, l) {
  const texts = {staat: l.staat, stap: l.loopt ? String(l.stap) : '–', wacht: l.wacht, sinds: l.sinds,
                 normaal: l.normaal, merk: l.merkTekst};
  for (const c of cells) {
    const cell = tr.querySelector('.' + c);
    if (cell.textContent !== texts[c]) cell.textContent = texts[c];
  }
  tr.className = (l.loopt ? 'loopt' : 'uit') + (l.merk ? ' merk-' + l.merk : '');
  tr.dataset.loopt = l.loopt ? 'ja' : 'nee';
  const b = tr.querySelector('button');
  b.hidden = !l.knop;
  b.textContent = l.loopt ? 'Stop' : 'Start';
  b.className = l.loopt ? 'stop' : 'start';
}

function showLines(lijnen) {
  const body = document.getElementById('lijnen');
  const same = body.children.length === lijnen.length &&
               lijnen.every((l, i) => body.children[i].dataset.lijn === l.lijn);
  if (!same) body.replaceChildren(...lijnen.map(lineRow));
  lijnen.forEach((l, i) => fillRow(body.children[i], l));
}

function showOperator(s) {
  showLines(s.lijnen);
  document.getElementById('sensoren').replaceChildren(...s.sensoren.map(x => {
    const d = el('span', String(x.nr), 'vakje' + (x.vast ? ' vast' : '') + (x.aan ? ' aan' : ''));
    d.title = (x.aan ? 'bezet' : 'vrij') + (x.vast ? ', vastgehouden' : '');
    return d;
  }));
  document.getElementById('geheugens').replaceChildren(
    ...s.geheugens.map((g, i) => el('span', String(i + 1), 'vakje' + (g ? ' vast' : ''))));
  document.getElementById('logboek').replaceChildren(...s.logboek.map(t => el('li', t)));
}

function showVisitors(s) {
  document.getElementById('borden').replaceChildren(...s.borden.map(b => {
    const naar = td(b.naar, 'naar');
    if (b.via) naar.append(el('div', 'via ' + b.via, 'via'));
    const tr = row([td(b.tijd, 'tijd'), naar, td(String(b.spoor), 'spoor'), td(b.trein, 'trein')]);
    tr.dataset.lijn = b.lijn;
    return tr;
  }));
}

function show(s) {
  document.getElementById('klok').textContent = bediening ? s.klok : s.klok.slice(0, -3);
  if (bediening) showOperator(s); else showVisitors(s);
  document.body.dataset.klok = s.klok;
}

function connect() {
  const status = document.getElementById('verbinding');
  const ws = new WebSocket(`ws://${location.host}/live`);
  ws.binaryType = 'arraybuffer';
  const utf8 = new TextDecoder();
  ws.onopen = () => { status.textContent = ''; };
  ws.onmessage = m => show(JSON.parse(utf8.decode(m.data)));
  ws.onclose = () => {
    status.textContent = 'Geen verbinding met de laptop; opnieuw proberen…';
    setTimeout(connect, 2000);
  };
}

connect();
