// The page side of the sound output (platform/sound_web.cpp), an emcc
// --js-library: a Web Audio context, and the program's sound handed to it on
// the page's thread, between frames.
//
// Two ways, the first the browser offers:
// - An AudioWorklet (secure pages: https, or a server on this machine). The
//   page's thread keeps a queue of about TARGET frames in the worklet, in
//   chunks of CHUNK, posted as messages (no shared memory, so no special
//   server headers). The worklet plays the queue on the audio thread and says
//   every few quanta which frame of it plays at which frame of the context,
//   so the time at which each chunk will be heard is known exactly: a chunk
//   whose first frame is queue frame N enters the output at context frame
//     P = reported.frame + (N - reported.consumed)
//   and leaves the speaker P / rate - stamp.contextTime seconds after
//   stamp.performanceTime (the context's output timestamp). A seek drops
//   what is queued, so it is heard within a few milliseconds.
// - A ScriptProcessorNode of FRAMES frames (the C++ side's), where there is
//   no AudioWorklet: the event's playbackTime is the context time at which
//   its buffer enters the output.
// Either way the latency handed to the clock is the speaker time of the
// request's first frame less now, on the page's clock (performance.now, the
// clock the music clock reads). Before the device has played anything the
// output timestamp is zero; then the context's own figures stand in: the
// context time less currentTime, plus baseLatency and outputLatency.
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
    node: null,          // the ScriptProcessorNode or AudioWorkletNode playing
    way: 'none',         // 'worklet' or 'script processor'
    opened: false,       // between vallupSoundOpen and vallupSoundClose
    rate: 44100,         // Hz: the show's mixing rate (demo/music.cpp), for a context made in a click
    stopped: false,
    requests: 0,         // requests made of the program
    lastLatency: -1,     // s: the last latency handed to the clock
    stamped: 0,          // requests whose latency came from the output timestamp
    underruns: 0,        // worklet quanta that ran out of queued sound

    // The worklet's queue.
    CHUNK: 1024,         // frames a request: 23 ms at 44.1 kHz
    // Frames kept queued: 255 ms, what the page's thread may spend on a frame
    // (a busy machine) before the sound breaks up. A seek drops the queue, so
    // its depth delays nothing the viewer sees.
    TARGET: 11264,
    sent: 0,             // frames posted since the last flush
    epoch: 0,            // flushes so far; the worklet's reports carry the one they belong to
    heard: null,         // the worklet's last report of this epoch: {consumed, frame}, or null
    dry: false,          // the worklet ran out of sound since that report

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

    // Seconds from `now` (ms, performance.now) until a frame that enters the
    // output at context time `at` (s) leaves the speaker; -1 when unknown.
    latency: function(ctx, at, now) {
      var s = -1;
      if (ctx.getOutputTimestamp) {
        var stamp = ctx.getOutputTimestamp();
        if (stamp && stamp.contextTime > 0 && stamp.performanceTime > 0) {
          s = (at - stamp.contextTime) - (now - stamp.performanceTime) / 1000;
          VallupSound.stamped++;
        }
      }
      if (s < 0) s = at - ctx.currentTime + (ctx.baseLatency || 0) + (ctx.outputLatency || 0);
      return isFinite(s) && s >= 0 && s < 2 ? s : -1;
    },

    // Asks the program for `frames` frames whose first enters the output at
    // context time `at` (s; -1: unknown); returns [left, right].
    feed: function(frames, at, copy) {
      var ctx = VallupSound.context;
      var latency = at < 0 ? -1 : VallupSound.latency(ctx, at, performance.now());
      VallupSound.requests++;
      VallupSound.lastLatency = latency;
      var p = _vallup_sound_feed(frames, latency) >> 2;
      var left = HEAPF32.subarray(p, p + frames), right = HEAPF32.subarray(p + frames, p + 2 * frames);
      return copy ? [left.slice(), right.slice()] : [left, right];
    },

    // The worklet: plays the queue, reports where it is every 8 quanta (and
    // whenever it runs dry), drops the queue on a flush.
    WORKLET: "registerProcessor('vallup-feed', class extends AudioWorkletProcessor {" +
      "constructor() { super(); this.queue = []; this.at = 0; this.consumed = 0; this.epoch = 0; this.n = 0;" +
      "  this.port.onmessage = (e) => { const d = e.data;" +
      "    if (d.flush) { this.queue = []; this.at = 0; this.consumed = 0; this.epoch = d.epoch; }" +
      "    if (d.left) this.queue.push(d); }; }" +
      "process(inputs, outputs) { const out = outputs[0], L = out[0], R = out[1] || out[0], n = L.length; let i = 0;" +
      "  while (i < n && this.queue.length) { const c = this.queue[0], k = Math.min(n - i, c.left.length - this.at);" +
      "    L.set(c.left.subarray(this.at, this.at + k), i); R.set(c.right.subarray(this.at, this.at + k), i);" +
      "    i += k; this.at += k; this.consumed += k;" +
      "    if (this.at == c.left.length) { this.queue.shift(); this.at = 0; } }" +
      "  if (++this.n % 8 == 0 || i < n)" +
      "    this.port.postMessage({ epoch: this.epoch, consumed: this.consumed, frame: currentFrame + n, dry: i < n });" +
      "  return true; } });",

    // Tops the worklet's queue up to TARGET frames, each chunk with the time
    // it will be heard.
    top: function() {
      var ctx = VallupSound.context, node = VallupSound.node;
      if (!ctx || !node || VallupSound.stopped) return;
      // A seek: the queue is dropped with the first chunk of the new place
      // (one message, so the worklet never plays the gap between them).
      var flush = _vallup_sound_seek_pending() != 0;
      if (flush) {
        VallupSound.epoch++;
        VallupSound.sent = 0;
        VallupSound.heard = null;
        VallupSound.dry = false;
      }
      var rate = ctx.sampleRate;
      var playing = ctx.currentTime * rate;   // the context frame being rendered about now
      // Where the queue's next frame enters the output: after what is queued,
      // as the last report says; with no report (just started or flushed),
      // or after running dry, at the quantum after the message arrives.
      var h = VallupSound.heard;
      var next = h && !VallupSound.dry ? h.frame + (VallupSound.sent - h.consumed) : -1;
      var soonest = playing + 256;
      if (next < soonest) {
        next = soonest + (h && !VallupSound.dry ? 0 : VallupSound.sent - (h ? h.consumed : 0));
      }
      var queued = next - playing;
      while (queued < VallupSound.TARGET) {
        var pair = VallupSound.feed(VallupSound.CHUNK, next / rate, true);
        var message = { left: pair[0], right: pair[1] };
        if (flush) {
          message.flush = true;
          message.epoch = VallupSound.epoch;
          flush = false;
        }
        node.port.postMessage(message, [pair[0].buffer, pair[1].buffer]);
        VallupSound.sent += VallupSound.CHUNK;
        next += VallupSound.CHUNK;
        queued += VallupSound.CHUNK;
      }
    },

    startWorklet: function(ctx) {
      var url = URL.createObjectURL(new Blob([VallupSound.WORKLET], { type: 'application/javascript' }));
      return ctx.audioWorklet.addModule(url).then(function() {
        if (VallupSound.stopped || VallupSound.context != ctx || !VallupSound.opened) return;
        var node = new AudioWorkletNode(ctx, 'vallup-feed',
                                        { numberOfInputs: 0, numberOfOutputs: 1, outputChannelCount: [2] });
        node.port.onmessage = function(e) {
          var d = e.data;
          if (d.epoch != VallupSound.epoch) return;   // of the queue before a flush
          VallupSound.heard = { consumed: d.consumed, frame: d.frame };
          VallupSound.dry = d.dry;
          if (d.dry && d.consumed > 0 && d.consumed < VallupSound.sent) VallupSound.underruns++;
          VallupSound.top();
        };
        node.connect(ctx.destination);
        VallupSound.node = node;
        VallupSound.way = 'worklet';
        VallupSound.sent = 0;
        VallupSound.heard = null;
        VallupSound.top();
      });
    },

    startScriptProcessor: function(ctx, frames) {
      if (VallupSound.stopped || VallupSound.context != ctx || !VallupSound.opened) return;
      var node = ctx.createScriptProcessor(frames, 0, 2);
      node.onaudioprocess = function(e) {
        var out = e.outputBuffer;
        var pair = VallupSound.feed(out.length, e.playbackTime, false);
        out.getChannelData(0).set(pair[0]);
        out.getChannelData(1).set(pair[1]);
      };
      node.connect(ctx.destination);
      VallupSound.node = node;
      VallupSound.way = 'script processor';
    },

    disconnect: function() {
      var node = VallupSound.node;
      if (!node) return;
      if (node.port) node.port.onmessage = null; else node.onaudioprocess = null;
      node.disconnect();
      VallupSound.node = null;
    },

    stop: function() {
      VallupSound.stopped = true;
      VallupSound.disconnect();
      if (VallupSound.context) {
        VallupSound.context.close().catch(function() {});
        VallupSound.context = null;
      }
    },

    report: function() {
      var ctx = VallupSound.context;
      return {
        way: VallupSound.way,
        state: ctx ? ctx.state : 'none',
        sampleRate: ctx ? ctx.sampleRate : 0,
        baseLatency: ctx ? ctx.baseLatency : undefined,
        outputLatency: ctx ? ctx.outputLatency : undefined,
        requests: VallupSound.requests,
        stamped: VallupSound.stamped,
        underruns: VallupSound.underruns,
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
    VallupSound.opened = true;
    // The worklet's module loads asynchronously: until it plays, the clock
    // waits for the first sound as for any output that is starting.
    if (ctx.audioWorklet && typeof AudioWorkletNode == 'function') {
      VallupSound.startWorklet(ctx).catch(function() { VallupSound.startScriptProcessor(ctx, frames); });
    } else {
      VallupSound.startScriptProcessor(ctx, frames);
    }
    return 1;
  },

  vallupSoundClose__deps: ['$VallupSound'],
  vallupSoundClose: function() {
    VallupSound.opened = false;
    VallupSound.disconnect();
  }
};

mergeInto(LibraryManager.library, LibraryVallupSound);
