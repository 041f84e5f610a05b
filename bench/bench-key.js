'use strict';

// The value every Windows contender reads, written by our setString before the timing.
module.exports = {
  subKey: 'Software\\registry-addon-bench',
  valueName: 'text',
  text: 'a value read by the benchmark',
  settingName: 'WindowHeight',
};
