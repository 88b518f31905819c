// Self-check beside the canvas: the shipped assignments with their tasks,
// and "Prüfen", which checks the listing's program as it is now against the
// chosen assignment's test file, in the learners' view of `akkusim test
// --learner`: the same report, word for word.

(function () {
  'use strict';

  const panel = document.getElementById('selfcheck');
  const toggle = document.getElementById('selfcheck-toggle');
  const choice = document.getElementById('assignment');
  const task = document.getElementById('task');
  const checkButton = document.getElementById('check');
  const verdict = document.getElementById('verdict');
  // The name a program gets before it was ever loaded or saved.
  const kUnnamed = 'programm';

  let assignments = [];
  // The grader module, compiled on the first use of the panel.
  let graderLoading = null;

  // Resolves to the grader, or to null when its script is missing.
  function loadGrader() {
    if (!graderLoading) {
      const loading = typeof window.akkusimGraderModule === 'function' ?
          window.akkusimGraderModule().then((module) => module.akkusimGrader) :
          Promise.reject(new Error('akkusim_grader.js'));
      graderLoading = loading.then((grader) => {
        fill(grader);
        return grader;
      }, () => {
        graderLoading = null;
        say('Die Aufgaben konnten nicht geladen werden: Die Datei „akkusim_grader.js“ fehlt. ' +
            'Bitte die Seite neu laden.', 'failed');
        return null;
      });
    }
    return graderLoading;
  }

  // The listing's program as Speichern writes it, and the name it was last
  // loaded or saved under (null before the simulator has started).
  function currentProgram() {
    const akkusim = window.Module && window.Module.akkusimHost;
    if (!akkusim || !akkusim.shownFrame.pointer) return null;
    const module = window.Module;
    const at = module._akkusim_current_program();
    const bytes = module.HEAPU8.slice(at, at + module._akkusim_current_program_size());
    const nameAt = module._akkusim_current_program_name();
    const name = new TextDecoder().decode(
      module.HEAPU8.subarray(nameAt, module.HEAPU8.indexOf(0, nameAt)));
    return { name, bytes };
  }

  // "# Aufgabe: Summe von zehn Zahlen" names the assignment in the list.
  function heading(text) {
    const first = text.split('\n').find((line) => line.startsWith('# ')) || '';
    return first.replace(/^# (Aufgabe: )?/, '').trim();
  }

  function fill(grader) {
    if (assignments.length > 0) return;
    assignments = grader.assignments();
    choice.replaceChildren(...assignments.map((assignment, i) => {
      const option = document.createElement('option');
      option.value = String(i);
      const title = heading(assignment.task);
      option.textContent = title ? `${assignment.name}: ${title}` : assignment.name;
      return option;
    }));
    choice.disabled = false;
    checkButton.disabled = false;
    showTask();
  }

  function showTask() {
    const assignment = assignments[Number(choice.value)];
    task.textContent = assignment ? assignment.task : '';
    verdict.textContent = '';
    verdict.className = '';
  }

  function say(text, outcome) {
    verdict.textContent = text;
    verdict.className = outcome;
  }

  async function check() {
    const grader = await loadGrader();
    if (!grader) return;
    const assignment = assignments[Number(choice.value)];
    const program = currentProgram();
    if (!program || !assignment) {
      say('akkusim startet noch, bitte gleich noch einmal versuchen.', 'failed');
      return;
    }
    const file = `${program.name || kUnnamed}.txt`;
    const result = grader.run(
        ['test.toml', file, '--learner'],
        [{ path: 'test.toml', bytes: assignment.test }, { path: file, bytes: program.bytes }]);
    const report = new TextDecoder().decode(result.report);
    say(result.messages + report, result.exitCode === 0 ? 'passed' : 'failed');
  }

  toggle.addEventListener('click', () => {
    panel.hidden = !panel.hidden;
    toggle.setAttribute('aria-expanded', String(!panel.hidden));
    // The canvas takes what the panel leaves.
    window.dispatchEvent(new Event('resize'));
    if (!panel.hidden) {
      loadGrader();
      choice.focus();
    }
  });
  choice.addEventListener('change', showTask);
  checkButton.addEventListener('click', check);
})();
