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

  function grader() {
    const akkusim = window.Module && window.Module.akkusimHost;
    return akkusim && akkusim.shownFrame.pointer ? window.Module.akkusimGrader : null;
  }

  // "# Aufgabe: Summe von zehn Zahlen" names the assignment in the list.
  function heading(text) {
    const first = text.split('\n').find((line) => line.startsWith('# ')) || '';
    return first.replace(/^# (Aufgabe: )?/, '').trim();
  }

  function fill() {
    const found = window.Module.akkusimGrader.assignments();
    if (found.length === 0 || assignments.length > 0) return;
    assignments = found;
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

  function check() {
    const checker = grader();
    const assignment = assignments[Number(choice.value)];
    if (!checker || !assignment) {
      say('akkusim startet noch, bitte gleich noch einmal versuchen.', 'failed');
      return;
    }
    const program = checker.currentProgram();
    if (!program) {
      say('Das Programm konnte nicht gelesen werden.', 'failed');
      return;
    }
    const file = `${program.name || kUnnamed}.txt`;
    const result = checker.run(
        ['test.toml', file, '--learner'],
        [{ path: 'test.toml', bytes: assignment.test }, { path: file, bytes: program.bytes }]);
    const report = new TextDecoder().decode(result.report);
    say(result.messages + report, result.exitCode === 0 ? 'passed' : 'failed');
  }

  const previous = window.Module.onRuntimeInitialized;
  window.Module.onRuntimeInitialized = function () {
    if (typeof previous === 'function') previous();
    fill();
  };

  toggle.addEventListener('click', () => {
    panel.hidden = !panel.hidden;
    toggle.setAttribute('aria-expanded', String(!panel.hidden));
    // The canvas takes what the panel leaves.
    window.dispatchEvent(new Event('resize'));
    if (!panel.hidden) choice.focus();
  });
  choice.addEventListener('change', showTask);
  checkButton.addEventListener('click', check);
})();
