// Starts the grading page's grader: in a worker (grading_worker.js), so
// that grading a class does not hold up the page, where the browser lets the
// page start one; else in the page itself, with the grader script loaded
// with it (akkusim_grader.js): the single file, which fetches nothing from
// beside it (from disk a browser would refuse the worker's script anyway),
// or a host whose rules forbid workers. Both give the grader's very report.
//   window.akkusimStartGrader() resolves to { where: 'worker' | 'page',
//   run(args, files) resolving to { exitCode, report, messages } }.

(function () {
  'use strict';

  const kWorkerScript = 'grading_worker.js';

  function inPage() {
    return window.akkusimGraderModule().then((module) => ({
      where: 'page',
      run: async (args, files) => module.akkusimGrader.run(args, files),
    }));
  }

  // Rejects when the worker cannot be made, its script not loaded (a file
  // opened from disk, a host's rules) or its grader not started.
  function inWorker() {
    return new Promise((resolve, reject) => {
      const worker = new Worker(kWorkerScript);
      const waiting = new Map();
      let next = 0;
      let ready = false;
      const run = (args, files) => new Promise((answered, failed) => {
        const id = next++;
        waiting.set(id, { answered, failed });
        worker.postMessage({ id, args, files });
      });
      const failAll = () => {
        for (const { failed } of waiting.values()) failed(new Error('grading failed'));
        waiting.clear();
      };
      worker.addEventListener('message', ({ data }) => {
        if (!ready) {
          ready = Boolean(data.ready);
          if (ready) {
            resolve({ where: 'worker', run });
          } else {
            worker.terminate();
            reject(new Error('the worker\'s grader did not start'));
          }
          return;
        }
        const pending = waiting.get(data.id);
        waiting.delete(data.id);
        if (data.graded) pending.answered(data.graded);
        else pending.failed(new Error('grading failed'));
      });
      worker.addEventListener('error', (event) => {
        event.preventDefault();
        if (ready) {
          failAll();
        } else {
          worker.terminate();
          reject(new Error('no worker'));
        }
      });
    });
  }

  window.akkusimStartGrader = () => {
    if (document.documentElement.hasAttribute('data-single-file')) return inPage();
    return inWorker().catch(inPage);
  };
})();
