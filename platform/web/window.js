// The page side of the window stand-in (platform/window_web.cpp and
// headless_web.cpp), an emcc --js-library.
//
// The page (dist/web/index.html) offers a stage for the canvas (#stage) and a
// box (#dialog with #dialog-caption, #dialog-text, #dialog-buttons); without
// them the browser's own alert and confirm boxes stand in and the canvas goes
// into the body. The canvas is the window: made by vallupCanvasCreate with the
// id "canvas" (the WebGL context is made on "#canvas"), removed with the window.
//
// Layout: the canvas keeps the show's 4:3 shape, as large as the page (or,
// fullscreen, the screen) allows, its drawing buffer at the device's pixels
// (CSS size times devicePixelRatio, a multiple of 4 by 3 so the shape is
// exact). A change of size reaches the shell as WM_SIZE.
//
// Keys: keydown and keyup become WM_KEYDOWN and WM_KEYUP with Win32 virtual-key
// codes, taken from the key's place on the keyboard (KeyboardEvent.code) and,
// for letters, from the layout. The browser's own action is kept for every key
// but the show's own (Escape, the arrows, F1). Fullscreen, Escape is taken
// from the browser (keyboard lock, where offered) so that it ends the show as
// on the desktop; holding it leaves fullscreen.
//
// For the page: Module.vallupMain(args) runs the program's main with these
// arguments and gives a promise of its exit status, kept until main has
// really returned (it waits on the page's boxes and frames in between);
// window.vallupTime is the music Time (s) of the last frame drawn, also
// Module.vallupTime(); Module.vallupContextLost() says whether the show ended
// because the browser took its WebGL context away.

var LibraryVallupWindow = {
  $VallupPage__deps: ['$VallupSound'],
  $VallupPage__postset: 'VallupPage.listen();',
  $VallupPage: {
    canvas: null,          // the window's canvas, or null
    headless: false,       // the canvas is the headless context's: fixed size, top-left
    dialog: false,         // a box is open
    cursorHidden: false,
    frameStart: 0,         // ms, performance.now: the current animation frame's start
    deltas: [],            // ms between the last animation frames
    period: 0,             // ms: the display's refresh period as the frames show it
    pendingWake: null,     // ends the current wait for a frame
    HIDDEN_MS: 16,         // ms between turns of the loop while the page is hidden

    WM_SIZE: 0x0005, WM_ACTIVATE: 0x0006, WM_CLOSE: 0x0010, WM_KEYDOWN: 0x0100, WM_KEYUP: 0x0101,

    post: function(message, wParam, lParam) {
      if (VallupPage.canvas && !VallupPage.headless) _vallup_window_message(message, wParam, lParam);
    },

    // Win32 virtual-key codes by KeyboardEvent.code; letters, digits, the
    // keypad's digits and F keys are worked out in virtualKey.
    codes: {
      Backspace: 0x08, Tab: 0x09, Enter: 0x0D, NumpadEnter: 0x0D,
      ShiftLeft: 0x10, ShiftRight: 0x10, ControlLeft: 0x11, ControlRight: 0x11,
      AltLeft: 0x12, AltRight: 0x12, Pause: 0x13, CapsLock: 0x14, Escape: 0x1B, Space: 0x20,
      PageUp: 0x21, PageDown: 0x22, End: 0x23, Home: 0x24,
      ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27, ArrowDown: 0x28,
      PrintScreen: 0x2C, Insert: 0x2D, Delete: 0x2E,
      MetaLeft: 0x5B, MetaRight: 0x5C, OSLeft: 0x5B, OSRight: 0x5C, ContextMenu: 0x5D,
      NumpadMultiply: 0x6A, NumpadAdd: 0x6B, NumpadSubtract: 0x6D, NumpadDecimal: 0x6E,
      NumpadDivide: 0x6F, NumLock: 0x90, ScrollLock: 0x91,
      Semicolon: 0xBA, Equal: 0xBB, Comma: 0xBC, Minus: 0xBD, Period: 0xBE, Slash: 0xBF,
      Backquote: 0xC0, BracketLeft: 0xDB, Backslash: 0xDC, BracketRight: 0xDD, Quote: 0xDE
    },
    showKeys: [0x1B, 0x25, 0x26, 0x27, 0x28, 0x70],   // Escape, the arrows, F1

    virtualKey: function(e) {
      if (e.key && e.key.length == 1 && /[a-z]/i.test(e.key) && /^Key[A-Z]$/.test(e.code))
        return e.key.toUpperCase().charCodeAt(0);
      var m;
      if ((m = /^Key([A-Z])$/.exec(e.code))) return m[1].charCodeAt(0);
      if ((m = /^Digit([0-9])$/.exec(e.code))) return 0x30 + +m[1];
      if ((m = /^Numpad([0-9])$/.exec(e.code))) return 0x60 + +m[1];
      if ((m = /^F([0-9]+)$/.exec(e.code)) && +m[1] >= 1 && +m[1] <= 24) return 0x6F + +m[1];
      return VallupPage.codes[e.code] || 0;
    },

    key: function(e, message) {
      if (!VallupPage.canvas || VallupPage.headless || VallupPage.dialog) return;
      var vk = VallupPage.virtualKey(e);
      if (!vk) return;
      if (VallupPage.showKeys.indexOf(vk) >= 0) e.preventDefault();
      VallupPage.post(message, vk, 0);
    },

    listen: function() {
      if (typeof window == 'undefined') return;
      window.addEventListener('keydown', function(e) { VallupPage.key(e, VallupPage.WM_KEYDOWN); });
      window.addEventListener('keyup', function(e) { VallupPage.key(e, VallupPage.WM_KEYUP); });
      window.addEventListener('resize', VallupPage.layout);
      document.addEventListener('fullscreenchange', VallupPage.layout);
      document.addEventListener('webkitfullscreenchange', VallupPage.layout);
      // A hidden page is a minimised window (and gets no animation frames).
      document.addEventListener('visibilitychange', function() {
        VallupPage.post(VallupPage.WM_ACTIVATE, document.hidden ? 0x10000 : 1, 0);
        var wake = VallupPage.pendingWake;
        if (document.hidden && wake) setTimeout(function() { wake(); }, VallupPage.HIDDEN_MS);
      });
      Module['vallupMain'] = function(args) {
        var status = callMain(args || []);
        // Waiting on a box or a frame: the status comes when main returns.
        if (Asyncify.currData) return Asyncify.whenDone();
        return Promise.resolve(status);
      };
      Module['vallupTime'] = function() { return _vallup_time(); };
      Module['vallupContextLost'] = function() { return !!VallupPage.contextLost; };
    },

    fullscreenElement: function() {
      return document.fullscreenElement || document.webkitFullscreenElement || null;
    },

    // The canvas at 4:3, as large as fits, at the device's pixels.
    layout: function() {
      var c = VallupPage.canvas;
      if (!c || VallupPage.headless) return;
      var dpr = window.devicePixelRatio || 1;
      var area = VallupPage.fullscreenElement() == c ? null : document.getElementById('stage');
      var w = area ? area.clientWidth : window.innerWidth;
      var h = area ? area.clientHeight : window.innerHeight;
      if (!w || !h) { w = window.innerWidth; h = window.innerHeight; }
      var units = Math.max(1, Math.floor(Math.min(w * dpr / 4, h * dpr / 3)));
      var pw = units * 4, ph = units * 3;
      c.style.width = pw / dpr + 'px';
      c.style.height = ph / dpr + 'px';
      if (c.width != pw || c.height != ph) {
        c.width = pw;
        c.height = ph;
        VallupPage.post(VallupPage.WM_SIZE, 0, (pw & 0xFFFF) | ((ph & 0xFFFF) << 16));
      }
    },

    enterFullscreen: function(c) {
      var request = c.requestFullscreen || c.webkitRequestFullscreen;
      if (!request) return;
      var done = function() {
        if (navigator.keyboard && navigator.keyboard.lock)
          navigator.keyboard.lock(['Escape']).catch(function() {});
      };
      try {
        var p = request.call(c, { navigationUI: 'hide' });
        if (p && p.then) p.then(done, function() {}); else done();
      } catch (e) {}
    },

    exitFullscreen: function() {
      if (navigator.keyboard && navigator.keyboard.unlock) navigator.keyboard.unlock();
      if (!VallupPage.fullscreenElement()) return;
      var exit = document.exitFullscreen || document.webkitExitFullscreen;
      try {
        var p = exit.call(document);
        if (p && p.catch) p.catch(function() {});
      } catch (e) {}
    },

    newCanvas: function() {
      var old = document.getElementById('canvas');
      if (old) old.remove();
      var c = document.createElement('canvas');
      c.id = 'canvas';
      c.tabIndex = -1;
      c.addEventListener('contextmenu', function(e) { e.preventDefault(); });
      return c;
    },


    // A box on the page: calls answer(IDYES, IDNO or IDOK) on the click.
    box: function(text, caption, type, answer) {
      var MB_YESNO = 0x04, IDOK = 1, IDYES = 6, IDNO = 7;
      var question = (type & 0x0F) == MB_YESNO;
      var dialog = document.getElementById('dialog');
      var buttons = document.getElementById('dialog-buttons');
      if (!dialog || !buttons) {
        var a = question ? (window.confirm(caption + '\n\n' + text) ? IDYES : IDNO)
                         : (window.alert(caption + '\n\n' + text), IDOK);
        VallupSound.unlock();
        answer(a);
        return;
      }
      VallupPage.exitFullscreen();   // the box is on the page, not on the canvas
      var kinds = { 0x10: 'stop', 0x20: 'question', 0x30: 'warning', 0x40: 'information' };
      dialog.setAttribute('data-icon', kinds[type & 0xF0] || 'none');
      document.getElementById('dialog-caption').textContent = caption;
      document.getElementById('dialog-text').textContent = text;
      buttons.textContent = '';
      var choices = question ? [['yes', 'Yes', IDYES], ['no', 'No', IDNO]] : [['ok', 'OK', IDOK]];
      var escapeAnswer = question ? IDNO : IDOK;
      var close = function(a) {
        document.removeEventListener('keydown', onKey, true);
        dialog.hidden = true;
        VallupPage.dialog = false;
        // The click lets the browser start sound.
        VallupSound.unlock();
        answer(a);
      };
      var onKey = function(e) {
        if (e.key == 'Escape') {
          e.preventDefault();
          e.stopPropagation();
          close(escapeAnswer);
        }
      };
      var first = null;
      choices.forEach(function(choice) {
        var b = document.createElement('button');
        b.id = choice[0];
        b.type = 'button';
        b.textContent = choice[1];
        b.addEventListener('click', function() { close(choice[2]); });
        buttons.appendChild(b);
        first = first || b;
      });
      document.addEventListener('keydown', onKey, true);
      VallupPage.dialog = true;
      dialog.hidden = false;
      first.focus();   // Return answers Yes (or OK), Escape No
    }
  },

  vallupPageInit__deps: ['$VallupPage'],
  vallupPageInit: function() {
    // The page asked for WebGL 2 before it loaded the program (index.html).
    if (typeof document == 'undefined') return allocateUTF8('no page to show the window on');
    return 0;
  },

  vallupMessageBox__deps: ['$VallupPage'],
  vallupMessageBox: function(text, caption, type) {
    text = UTF8ToString(text);
    caption = UTF8ToString(caption);
    return Asyncify.handleSleep(function(wakeUp) {
      VallupPage.box(text, caption, type, wakeUp);
    });
  },

  vallupCanvasCreate__deps: ['$VallupPage'],
  vallupCanvasCreate: function(title, fullscreen) {
    var c = VallupPage.newCanvas();
    (document.getElementById('stage') || document.body).appendChild(c);
    VallupPage.canvas = c;
    VallupPage.headless = false;
    c.style.cursor = VallupPage.cursorHidden ? 'none' : '';
    c.addEventListener('webglcontextlost', function() {
      // The GPU was reset or the browser took the context back: the show
      // cannot draw on, so it ends as a closed window does.
      VallupPage.contextLost = true;
      VallupPage.post(VallupPage.WM_CLOSE, 0, 0);
    });
    document.title = UTF8ToString(title);
    VallupPage.layout();
    if (fullscreen) VallupPage.enterFullscreen(c);
    return 1;
  },

  vallupCanvasDestroy__deps: ['$VallupPage'],
  vallupCanvasDestroy: function() {
    if (VallupPage.canvas) VallupPage.canvas.remove();
    VallupPage.canvas = null;
  },

  vallupCanvasSize__deps: ['$VallupPage'],
  vallupCanvasSize: function(width, height) {
    var c = VallupPage.canvas;
    HEAP32[width >> 2] = c ? c.width : 0;
    HEAP32[height >> 2] = c ? c.height : 0;
  },

  vallupCanvasFocus__deps: ['$VallupPage'],
  vallupCanvasFocus: function() {
    if (VallupPage.canvas) VallupPage.canvas.focus({ preventScroll: true });
  },

  vallupFullscreenEnabled: function() {
    return document.fullscreenEnabled || document.webkitFullscreenEnabled ? 1 : 0;
  },

  vallupExitFullscreen__deps: ['$VallupPage'],
  vallupExitFullscreen: function() {
    VallupPage.exitFullscreen();
  },

  vallupShowCursor__deps: ['$VallupPage'],
  vallupShowCursor: function(show) {
    VallupPage.cursorHidden = !show;
    if (VallupPage.canvas) VallupPage.canvas.style.cursor = show ? '' : 'none';
  },

  // Called once a frame is drawn: notes its music Time (window.vallupTime is
  // the Time of the last frame drawn, from here until the next one is), then
  // returns in the next animation frame, having noted its start and the
  // display's period (the shortest of the last 32 frame intervals: slow
  // frames skip refreshes). A hidden page
  // gets no animation frames: there the loop goes on at the pace of the
  // browser's timers (which it slows down in the background), drawing
  // nothing, so the show still ends on time.
  vallupWaitFrame__deps: ['$VallupPage'],
  vallupWaitFrame: function() {
    return Asyncify.handleSleep(function(wakeUp) {
      // Here only as the wait begins (not again as the program resumes).
      window.vallupTime = _vallup_time();
      var woken = false, frame = 0;
      var wake = function(t) {
        if (woken) return;
        woken = true;
        VallupPage.pendingWake = null;
        if (t === undefined) cancelAnimationFrame(frame);
        if (t !== undefined) {
          var d = t - VallupPage.frameStart;
          if (VallupPage.frameStart && d > 0) {
            VallupPage.deltas.push(d);
            if (VallupPage.deltas.length > 32) VallupPage.deltas.shift();
            VallupPage.period = Math.min.apply(null, VallupPage.deltas);
          }
          VallupPage.frameStart = t;
        }
        wakeUp();
      };
      frame = requestAnimationFrame(wake);
      VallupPage.pendingWake = wake;
      if (document.hidden) setTimeout(function() { wake(); }, VallupPage.HIDDEN_MS);
    });
  },

  vallupFrameStart__deps: ['$VallupPage'],
  vallupFrameStart: function() { return VallupPage.frameStart; },

  vallupFramePeriod__deps: ['$VallupPage'],
  vallupFramePeriod: function() { return VallupPage.period; },

  // The headless context's canvas: exactly this size at the page's top-left.
  vallupHeadlessCanvas__deps: ['$VallupPage'],
  vallupHeadlessCanvas: function(width, height) {
    if (typeof document == 'undefined') return 0;
    var c = VallupPage.newCanvas();
    c.className = 'headless';
    c.width = width;
    c.height = height;
    c.style.cssText = 'position:absolute;left:0;top:0;margin:0;border:0;padding:0;' +
                      'width:' + width + 'px;height:' + height + 'px';
    document.body.appendChild(c);
    VallupPage.canvas = c;
    VallupPage.headless = true;
    return 1;
  }
};

mergeInto(LibraryManager.library, LibraryVallupWindow);
