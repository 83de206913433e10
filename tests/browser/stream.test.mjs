// The page follows the station's stream: another station's change notice
// is named in words, what another client's command changes is drawn in
// place, and a lost connection is said and, once the station is back, its
// whole state is drawn again.

import assert from 'node:assert/strict';
import {execFile} from 'node:child_process';
import {after, before, describe, it} from 'node:test';
import {promisify} from 'node:util';

import {ids, program, Session} from './support.mjs';

const {IDD_COMPANY_PREFS, IDD_PREFS_ADDRESS, IDC_PREFS_PRINT_NAME, IDC_PREFS_TELEPHONE,
       IDC_PREFS_COMPANY_NAME, IDC_OK} = ids();
const LOST = 'The connection to the station was lost; trying again.';

const run = promisify(execFile);

// Waits until the element shows `want` as its property or attribute `what`.
function shows(s, selector, what, want) {
  return s.page.waitForFunction(([selector, what, want]) => {
    const node = document.querySelector(selector);
    return node && (what in node ? node[what] : node.getAttribute(what)) === want;
  }, [selector, what, want]);
}

describe('The station\'s stream in the browser', () => {
  let s;
  before(async () => {
    s = await Session.start({serveArgs: ['--multi-user']});
  });
  after(async () => {
    await s?.close();
  });

  // What another station stores, and what the page then says changed.
  const changes = [
    {
      what: 'the company settings',
      script: ['open 3632', 'click 3632 1942'],
      notice: 'Another station changed the company\'s settings; the values shown were reloaded.',
    },
    {
      what: 'a tax code',
      script: [
        'open 3619', 'select 3619 1610 5', 'click 3619 1413', 'type 3620 1962 "3.25"',
        'click 3620 1942', 'click 3619 2'
      ],
      notice: 'Another station changed the control accounts or a code table; ' +
          'the values shown were reloaded.',
    },
  ];
  for (const {what, script, notice} of changes) {
    it(`names what changed when another station stored ${what}`, async () => {
      const seq = Number(await s.page.evaluate(() => document.body.dataset.seq));
      const other = run(
          program, ['drive', '-', '--data', s.dataDir, '--multi-user', '--station', 'STATION2']);
      other.child.stdin.end([...script, ''].join('\n'));
      await other;
      await s.page.waitForFunction(
          (seq) => Number(document.body.dataset.seq) > seq &&
              document.getElementById('status-message').textContent !== '',
          seq);
      await s.settled();
      assert.equal(await s.page.locator('#status-message').textContent(), notice);
    });
  }

  it('redraws what another command changed', async () => {
    await s.openFromMenu('Company settings', 'Company Preferences');
    const address = `.page[data-dialog="${IDD_PREFS_ADDRESS}"]`;
    const cases = [
      [`click ${IDD_PREFS_ADDRESS} ${IDC_PREFS_PRINT_NAME}`,
       `${address} > [data-control="${IDC_PREFS_PRINT_NAME}"] input`, 'checked', true],
      [`type ${IDD_PREFS_ADDRESS} ${IDC_PREFS_TELEPHONE} "0161 496 0000"`,
       `${address} > [data-control="${IDC_PREFS_TELEPHONE}"]`, 'value', '0161 496 0000'],
      [`page ${IDD_COMPANY_PREFS} 2`,
       `.dialog[data-dialog="${IDD_COMPANY_PREFS}"] .tabs [data-page="2"]`, 'aria-selected', 'true'],
    ];
    for (const [command, selector, what, want] of cases) {
      assert.equal((await s.command(command)).ok, true, command);
      await shows(s, selector, what, want);
    }
  });

  it('says the stream was lost and draws the whole state once it is back', async () => {
    await s.dialog(IDD_COMPANY_PREFS).waitFor();
    await s.restartServer(async () => {
      await shows(s, '#status-message', 'textContent', LOST);
      const script = `open ${IDD_COMPANY_PREFS}\n` +
          `type ${IDD_PREFS_ADDRESS} ${IDC_PREFS_COMPANY_NAME} "Renamed Ltd"\n` +
          `click ${IDD_COMPANY_PREFS} ${IDC_OK}\n`;
      const other = run(program, ['drive', '-', '--data', s.dataDir]);
      other.child.stdin.end(script);
      await other;
    });
    await shows(s, '#main-title', 'textContent', 'VX70 - Renamed Ltd');
    await s.settled();
    // The station that came back has no dialog open, and the page says
    // nothing of a lost connection any more.
    assert.equal(await s.dialog(IDD_COMPANY_PREFS).count(), 0);
    assert.notEqual(await s.page.locator('#status-message').textContent(), LOST);
    assert.deepEqual(s.pageErrors, []);
  });
});
