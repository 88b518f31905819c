// The grading page's grader in a thread of its own, so that the page keeps
// answering while a class is graded: the same compiled grader as in the
// page (akkusim_grader.js). Says { ready } once it can grade, { failed } if
// it cannot start; then answers each { id, args, files } with { id, graded }
// (what the grader's run gives) or { id, failed }.

'use strict';

importScripts('akkusim_grader.js');

let grader = null;

self.akkusimGraderModule().then((module) => {
  grader = module.akkusimGrader;
  self.postMessage({ ready: true });
}, () => self.postMessage({ failed: true }));

self.addEventListener('message', (event) => {
  const { id, args, files } = event.data;
  try {
    self.postMessage({ id, graded: grader.run(args, files) });
  } catch {
    self.postMessage({ id, failed: true });
  }
});
