/* English texts of the measuring tool (loaded by the console when its language is English). */
(function () {
  'use strict';
  if (!window.L || !L.Control || !L.Control.Measure) { return; }
  L.Control.Measure.texts = {
    title: 'Measure distance (double-click to finish)',
    distance: 'Distance',
    metres: 'm',
    kilometres: 'km'
  };
  if (window.measureControl && window.measureControl.refreshTexts) { window.measureControl.refreshTexts(); }
  window.measureTextsLanguage = 'English';
}());
