// The page side of the sound output (platform/sound_web.cpp), an emcc
// --js-library: a Web Audio context and a ScriptProcessorNode that asks the
// program for each buffer on the page's thread.
//
// A browser starts sound only after the viewer has clicked: the page's box
// calls VallupSound.unlock() in its click, which makes the context at the
// show's mixing rate (or resumes it). The output opened later plays on it;
// opened at another rate, it makes a context of its own at that rate. A box
// answered with Escape (which browsers do not count as letting sound start)
// leaves the context waiting: the viewer's next click or key resumes it.
//
// For the page: Module.vallupSoundStop() stops the sound for good (the show
// has ended); Module.vallupSoundReport() gives the context's figures for
// diagnostics.

var LibraryVallupSound = {
  $VallupSound__postset: "Module['vallupSoundStop'] = function() { VallupSound.stop(); };" +
                         "Module['vallupSoundReport'] = function() { return VallupSound.report(); };" +
                         "VallupSound.listen();",
  $VallupSound: {
    context: null,
    node: null,
    rate: 44100,    // Hz: the show's mixing rate (demo/music.cpp), for a context made in a click
    stopped: false,
    requests: 0,    // buffers asked for
    lastLatency: -1,  // s: the last latency handed to the clock
    stamped: 0,     // requests whose latency came from the output timestamp

    make: function(rate) {
      var Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) return null;
      try {
        return new Context({ sampleRate: rate, latencyHint: 'interactive' });
      } catch (e) {
        return null;   // no context at that rate
      }
    },

    listen: function() {
      if (typeof window == 'undefined') return;
      var resume = function() {
        var ctx = VallupSound.context;
        if (ctx && ctx.state == 'suspended' && !VallupSound.stopped) ctx.resume().catch(function() {});
      };
      window.addEventListener('pointerdown', resume, true);
      window.addEventListener('keydown', resume, true);
    },

    unlock: function() {
      if (VallupSound.stopped) return;
      var ctx = VallupSound.context;
      if (!ctx || ctx.state == 'closed') ctx = VallupSound.context = VallupSound.make(VallupSound.rate);
      if (ctx && ctx.state == 'suspended') ctx.resume().catch(function() {});
    },

    // Seconds from now until the first sample of a buffer that enters the
    // output at context time `playbackTime` leaves the speaker; -1 when the
    // context cannot tell.
    latency: function(ctx, playbackTime) {
      var now = performance.now();
      var s = -1;
      if (ctx.getOutputTimestamp) {
        var stamp = ctx.getOutputTimestamp();
        if (stamp && stamp.contextTime > 0 && stamp.performanceTime > 0) {
          s = (playbackTime - stamp.contextTime) - (now - stamp.performanceTime) / 1000;
          VallupSound.stamped++;
        }
      }
      if (s < 0) {
        s = playbackTime - ctx.currentTime + (ctx.baseLatency || 0) + (ctx.outputLatency || 0);
      }
      return isFinite(s) && s >= 0 && s < 2 ? s : -1;
    },

    stop: function() {
      VallupSound.stopped = true;
      if (VallupSound.node) {
        VallupSound.node.onaudioprocess = null;
        VallupSound.node.disconnect();
        VallupSound.node = null;
      }
      if (VallupSound.context) {
        VallupSound.context.close().catch(function() {});
        VallupSound.context = null;
      }
    },

    report: function() {
      var ctx = VallupSound.context;
      return {
        state: ctx ? ctx.state : 'none',
        sampleRate: ctx ? ctx.sampleRate : 0,
        baseLatency: ctx ? ctx.baseLatency : undefined,
        outputLatency: ctx ? ctx.outputLatency : undefined,
        requests: VallupSound.requests,
        stamped: VallupSound.stamped,
        lastLatency: VallupSound.lastLatency
      };
    }
  },

  vallupSoundOpen__deps: ['$VallupSound'],
  vallupSoundOpen: function(rate, frames) {
    if (typeof window == 'undefined' || VallupSound.stopped) return 0;
    var ctx = VallupSound.context;
    if (ctx && (ctx.state == 'closed' || ctx.sampleRate != rate)) {
      if (ctx.state != 'closed') ctx.close().catch(function() {});
      ctx = null;
    }
    if (!ctx) {
      VallupSound.rate = rate;
      ctx = VallupSound.context = VallupSound.make(rate);
    }
    if (!ctx || ctx.sampleRate != rate) return 0;
    if (ctx.state == 'suspended') ctx.resume().catch(function() {});
    var node = ctx.createScriptProcessor(frames, 0, 2);
    node.onaudioprocess = function(e) {
      var out = e.outputBuffer;
      var n = out.length;
      var latency = VallupSound.latency(ctx, e.playbackTime);
      VallupSound.requests++;
      VallupSound.lastLatency = latency;
      var p = _vallup_sound_feed(n, latency) >> 2;
      out.getChannelData(0).set(HEAPF32.subarray(p, p + n));
      out.getChannelData(1).set(HEAPF32.subarray(p + n, p + 2 * n));
    };
    node.connect(ctx.destination);
    VallupSound.node = node;
    return 1;
  },

  vallupSoundClose__deps: ['$VallupSound'],
  vallupSoundClose: function() {
    if (VallupSound.node) {
      VallupSound.node.onaudioprocess = null;
      VallupSound.node.disconnect();
      VallupSound.node = null;
    }
  }
};

mergeInto(LibraryManager.library, LibraryVallupSound);
