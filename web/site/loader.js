// The first thing the page runs, written for any browser, however old, so that one that cannot
// play still hears why. It fetches the engine with a count of its bytes, shows how much of the
// game has arrived, and puts a plain message and «Попробовать снова» in place of the game
// when the browser lacks what the game needs or the download fails.
"use strict";

var tovikLoader = (function () {
  // The page's language: ?lang=, else the one last chosen with the switch, else the browser's.
  // It is chosen here, first, because the loading screen already speaks it; the view takes it
  // from here. The game's languages, the one for a browser that prefers none of them, and the
  // loading screen's words in each come from the game's catalogue, written into the page by the
  // build (tovikLanguages), as they show before the engine has arrived.
  var kRemembered = "tovik-lang";
  function chosenLanguage() {
    var known = tovikLanguages.languages;
    var asked = /[?&]lang=([a-z]+)(&|$)/.exec(window.location.search);
    if (asked && known.indexOf(asked[1]) >= 0) return asked[1];
    var remembered = null;
    try {
      remembered = window.localStorage.getItem(kRemembered);
    } catch (error) {
      // storage may be switched off: the browser's languages decide
    }
    if (known.indexOf(remembered) >= 0) return remembered;
    var preferred = (navigator.languages && navigator.languages[0]) || navigator.language || "";
    var code = preferred.split(/[-_]/)[0].toLowerCase();
    return known.indexOf(code) >= 0 ? code : tovikLanguages.otherwise;
  }
  var language = chosenLanguage();
  var words = tovikLanguages.words[language];
  document.documentElement.lang = language;
  // The title screen's pictures come with the engine: the painted name in the page's language.
  function preload(href, kind) {
    var link = document.createElement("link");
    link.rel = "preload";
    link.href = href;
    link.as = kind;
    document.head.appendChild(link);
  }
  preload(language === "en" ? "pictures/title_en.webp" : "pictures/title.webp", "image");
  preload("pictures/hero.webp", "image");
  var title = document.querySelector(".loader-title");
  title.firstChild.nodeValue = words["loader-name"];
  title.querySelector("span").textContent = words["loader-place"];
  document.getElementById("loader-retry").textContent = words.retry;
  var failed = false;
  var ready = false;

  function byId(id) {
    return document.getElementById(id);
  }

  // `why` goes to the console, for whoever looks into a page that would not start.
  function fail(kind, why) {
    if (failed || ready) return;
    failed = kind;
    if (typeof console === "object") console.error("The game could not start (" + kind + "): " + (why || kind));
    stopDownloads();
    var stage = byId("stage");
    if (stage) stage.className = "loading";
    byId("loader").className = "failed";
    byId("loader-progress").hidden = true;
    byId("loader-problem-text").textContent = words[kind] || words.error;
    byId("loader-problem").hidden = false;
    document.documentElement.setAttribute("data-failed", kind);
    byId("loader-retry").focus();
  }

  function progress(fraction) {
    if (failed) return;
    var percent = Math.max(0, Math.min(100, Math.floor(fraction * 100)));
    byId("loader-progress").textContent = words.loading + " " + percent + "%";
    byId("loader-bar").style.width = percent + "%";
  }

  var hasWasm = typeof WebAssembly === "object" && typeof WebAssembly.instantiate === "function";
  var modern =
    typeof Promise === "function" &&
    typeof fetch === "function" &&
    typeof Symbol === "function" &&
    typeof String.prototype.padStart === "function" &&
    typeof requestAnimationFrame === "function";

  // ---- Downloads that notice when the link stalls. ----
  // A mobile link more often stalls than breaks: bytes stop coming and no error ever arrives.
  // A download that has not received kStallBytes in kStallMs has stalled; the page says so and
  // offers a retry, which asks for the rest of the file (where the server can send a part) or
  // for the whole file again. A trickle too slow to finish in any reasonable time is a stall too.
  var kStallMs = 6000;
  var kStallBytes = 1024;
  var canUnpack = typeof DecompressionStream === "function" && typeof Response === "function";
  var downloads = [];

  function problem(kind) {
    var error = new Error(kind);
    error.kind = kind;
    return error;
  }

  function joined(chunks, length) {
    var bytes = new Uint8Array(length);
    var at = 0;
    for (var i = 0; i < chunks.length; i++) {
      bytes.set(chunks[i], at);
      at += chunks[i].length;
    }
    return bytes;
  }

  function shownProgress() {
    var sum = 0;
    for (var i = 0; i < downloads.length; i++) {
      var state = downloads[i];
      if (state.weight && state.total) sum += (state.weight * Math.min(state.received, state.total)) / state.total;
    }
    progress(sum);
  }

  // One try at the part of `state`'s file not yet here. Each try has a number, so a late answer
  // to a try already given up says nothing.
  function fetchPart(state) {
    state.attempt += 1;
    var attempt = state.attempt;
    var current = function () {
      return attempt === state.attempt;
    };
    var controller = typeof AbortController === "function" ? new AbortController() : null;
    var mark = { time: Date.now(), received: state.received };
    var stalled = false;
    state.watch = setInterval(function () {
      if (state.received - mark.received >= kStallBytes) {
        mark = { time: Date.now(), received: state.received };
      } else if (Date.now() - mark.time >= kStallMs) {
        stalled = true;
        state.stop();
        state.reject(problem("stalled"));
      }
    }, 500);
    state.stop = function () {
      clearInterval(state.watch);
      state.attempt += 1;
      if (controller) controller.abort();
    };
    var headers = {};
    if (state.received > 0) headers.Range = "bytes=" + state.received + "-";
    fetch(state.file, {
      credentials: "same-origin",
      headers: headers,
      signal: controller ? controller.signal : undefined,
    })
      .then(function (response) {
        if (!current()) return;
        if (response.status === 404 || response.status === 410) throw problem("missing");
        if (!response.ok) throw problem("download");
        var range = /\/(\d+)\s*$/.exec(response.headers.get("Content-Range") || "");
        if (response.status !== 206 || !range) {
          state.chunks = []; // the whole file comes again
          state.received = 0;
        }
        // A server that packs the file on the way says its packed length, not what arrives.
        var length = range ? Number(range[1]) : Number(response.headers.get("Content-Length"));
        state.total = response.headers.get("Content-Encoding") ? 0 : length || 0;
        var add = function (chunk) {
          if (!current()) return;
          state.chunks.push(chunk);
          state.received += chunk.length;
          shownProgress();
        };
        if (!response.body || typeof response.body.getReader !== "function") {
          return response.arrayBuffer().then(function (buffer) {
            add(new Uint8Array(buffer));
          });
        }
        var reader = response.body.getReader();
        var pump = function () {
          return reader.read().then(function (step) {
            if (step.done || !current()) return undefined;
            add(step.value);
            return pump();
          });
        };
        return pump();
      })
      .then(
        function () {
          if (!current()) return;
          state.stop();
          if (state.total && state.received !== state.total) throw problem("download");
          state.finished = true;
          state.resolve(joined(state.chunks, state.received));
        },
        function (error) {
          if (!current()) return;
          state.stop();
          state.reject(problem(error && error.kind ? error.kind : stalled ? "stalled" : "download"));
        }
      )
      .catch(function (error) {
        state.reject(error);
      });
  }

  // The bytes of `name`, carried packed where this browser can unpack them. `weight` is its
  // share of the loading bar. A failure shows its message; the retry carries on where it stopped.
  function download(name, weight) {
    var packed = canUnpack && weight > 0;
    var state = {
      file: packed ? name + ".gz" : name,
      weight: weight,
      chunks: [],
      received: 0,
      total: 0,
      attempt: 0,
      finished: false,
      stop: function () {},
    };
    downloads.push(state);
    var bytes = new Promise(function (resolve) {
      state.resolve = resolve;
      state.reject = function (error) {
        fail(error.kind || "download");
      };
      fetchPart(state);
    });
    if (!packed) return bytes;
    return bytes.then(function (packedBytes) {
      var unpacked = new Blob([packedBytes]).stream().pipeThrough(new DecompressionStream("gzip"));
      return new Response(unpacked).arrayBuffer();
    });
  }

  function stopDownloads() {
    for (var i = 0; i < downloads.length; i++) downloads[i].stop();
  }

  // A sound or another file the game asks for after the title: the same watch, no message; a
  // file that stalls or is missing is simply not played.
  function fetchWatched(path) {
    return new Promise(function (resolve, reject) {
      var state = { file: path, weight: 0, chunks: [], received: 0, total: 0, attempt: 0 };
      state.resolve = resolve;
      state.reject = reject;
      fetchPart(state);
    });
  }

  byId("loader-retry").onclick = function () {
    var unfinished = downloads.filter(function (state) {
      return !state.finished;
    });
    // Only a download that failed is tried again, from where it stopped, in this page.
    if ((failed === "stalled" || failed === "download" || failed === "missing") && unfinished.length) {
      failed = false;
      document.documentElement.removeAttribute("data-failed");
      byId("loader").className = "";
      byId("loader-problem").hidden = true;
      byId("loader-progress").hidden = false;
      shownProgress();
      for (var i = 0; i < unfinished.length; i++) fetchPart(unfinished[i]);
      watchTitle();
      return;
    }
    window.location.reload();
  };

  if (!hasWasm) fail("nowasm");
  else if (!modern) fail("old");
  progress(0);

  // Until the title screen is up, an error anywhere means the game will not start.
  window.addEventListener("error", function (event) {
    fail("error", event.message + " at " + event.filename + ":" + event.lineno);
  });
  window.addEventListener("unhandledrejection", function (event) {
    fail("error", String(event.reason && event.reason.stack ? event.reason.stack : event.reason));
  });

  // The engine's script and code and, for a language other than the story's own Russian, its
  // translation: the loading bar counts their bytes.
  var code = null;
  var engine = null;
  if (!failed) {
    code = download("tovik.wasm", 0.7);
    var translation =
      language === "ru"
        ? Promise.resolve(null)
        : download(language + ".catalogue", 0.15).then(function (bytes) {
            return new TextDecoder().decode(bytes);
          });
    // The engine's script, run once it is here: it defines createTovik for the page's view.
    var script = download("tovik.js", 0.15).then(function (bytes) {
      return new Promise(function (resolve) {
        var element = document.createElement("script");
        element.src = URL.createObjectURL(new Blob([bytes], { type: "text/javascript" }));
        element.onload = resolve;
        element.onerror = function () {
          fail("error", "the engine's script did not run");
        };
        document.body.appendChild(element);
      });
    });
    // The engine comes with the translation in it: each module made is given it first.
    engine = Promise.all([script, translation]).then(function (both) {
      var text = both[1];
      var make = window.createTovik;
      window.createTovik = function (options) {
        return make(options).then(function (module) {
          if (text !== null && !module.loadCatalogue(language, text)) fail("error", "the " + language + " catalogue was refused");
          return module;
        });
      };
    });
  }

  // The title should follow the engine's last byte within moments; the font and the title's
  // pictures may still be on the way. If nothing is up after a while, the link has stalled.
  var kTitleWaitMs = 20000;
  var titleWatch = null;
  function watchTitle() {
    if (!engine) return;
    engine.then(function () {
      clearTimeout(titleWatch);
      titleWatch = setTimeout(function () {
        fail("stalled");
      }, kTitleWaitMs);
    });
  }
  watchTitle();

  // The engine's module asks for its code here.
  function instantiateWasm(imports, done) {
    code.then(function (bytes) {
      WebAssembly.instantiate(bytes, imports).then(
        function (result) {
          done(result.instance, result.module);
        },
        function (error) {
          fail("error", "WebAssembly: " + error);
        }
      );
    });
    return {};
  }

  // ---- The offline copy. ----
  // The worker stores the whole game once the title is up, and the page says, once and quietly,
  // whether the game will open without a network: when a copy has just been made or has failed,
  // and not again on later visits to the same copy.
  var kOfflineSaid = "tovik-offline-said";
  function tellOffline(saved) {
    var status = byId("offline-status");
    if (!status) return;
    try {
      if (saved && window.localStorage.getItem(kOfflineSaid) === "yes") return;
      window.localStorage.setItem(kOfflineSaid, saved ? "yes" : "no");
    } catch (error) {
      // said every visit, then
    }
    status.textContent = saved ? words.offline : words.notOffline;
    status.dataset.saved = String(saved);
    status.hidden = false;
    setTimeout(function () {
      status.hidden = true;
    }, 8000);
  }
  function followWorker(worker) {
    var settled = function () {
      if (worker.state === "installed" || worker.state === "activating" || worker.state === "activated") {
        tellOffline(true);
        return true;
      }
      if (worker.state === "redundant") {
        tellOffline(false);
        return true;
      }
      return false;
    };
    if (settled()) return;
    worker.addEventListener("statechange", function watch() {
      if (settled()) worker.removeEventListener("statechange", watch);
    });
  }
  function keepOffline() {
    if (!("serviceWorker" in navigator) || !window.isSecureContext) return;
    navigator.serviceWorker.register("sw.js").then(
      function (registration) {
        var worker = registration.installing || registration.waiting || registration.active;
        if (worker) followWorker(worker);
        registration.addEventListener("updatefound", function () {
          if (registration.installing) followWorker(registration.installing);
        });
      },
      function () {
        tellOffline(false);
      }
    );
  }

  // The title screen is up: the loader goes, and the offline copy of the site is made now, so
  // that its download (the sounds among it) does not hold the title back.
  function done() {
    if (failed) return;
    clearTimeout(titleWatch);
    progress(1);
    ready = true;
    byId("loader").hidden = true;
    // The app's description, with its icons, is for installing: a browser reads it after the
    // title rather than spending the first visit's bytes on icons before it.
    var manifest = document.createElement("link");
    manifest.rel = "manifest";
    manifest.href = "manifest.webmanifest";
    document.head.appendChild(manifest);
    keepOffline();
  }

  return {
    language: language,
    rememberedLanguageKey: kRemembered,
    fail: fail,
    progress: progress,
    instantiateWasm: instantiateWasm,
    engine: engine,
    done: done,
    usable: hasWasm && modern,
    // The sounds are carried as MP3, made from the game's WAV files when the site is built.
    fetchSound: function (path) {
      return fetchWatched(path.replace(/\.wav$/, ".mp3")).then(function (bytes) {
        return bytes.buffer;
      });
    },
  };
})();
