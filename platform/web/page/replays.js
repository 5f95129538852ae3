// The page's replays: a replay given in the address (#replay=..., as the runner's --link
// prints it) is handed to the program, which plays it and then gives the game back.
'use strict';

(() => {
  const LINK_MARK = '#replay=';

  // The link's text as the program reads it, or '' when the address holds none.
  Module.replayLink = () => (location.hash.startsWith(LINK_MARK) ? location.hash : '');
})();
