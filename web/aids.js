// The learner aids' controls beside the canvas. Each does what its function
// key does on the canvas, then leaves the focus there, so that the keys go
// on working (Escape stops a fast run, Enter closes the help box).

(function () {
  'use strict';

  const canvas = document.getElementById('screen');
  for (const control of document.querySelectorAll('#aids [data-key]')) {
    control.addEventListener('click', () => {
      const host = window.Module && window.Module.akkusimHost;
      if (!host) return;
      canvas.focus();
      host.pressKey(control.dataset.key);
    });
  }
})();
