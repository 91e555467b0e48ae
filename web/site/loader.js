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
  var title = document.querySelector(".loader-title");
  title.firstChild.nodeValue = words["loader-name"];
  title.querySelector("span").textContent = words["loader-place"];
  document.getElementById("loader-retry").textContent = words.retry;
  var failed = false;
  var ready = false;

  function byId(id) {
    return document.getElementById(id);
  }

  function fail(kind) {
    if (failed || ready) return;
    failed = true;
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

  byId("loader-retry").onclick = function () {
    window.location.reload();
  };

  var hasWasm = typeof WebAssembly === "object" && typeof WebAssembly.instantiate === "function";
  var modern =
    typeof Promise === "function" &&
    typeof fetch === "function" &&
    typeof Symbol === "function" &&
    typeof String.prototype.padStart === "function" &&
    typeof requestAnimationFrame === "function";
  if (!hasWasm) fail("nowasm");
  else if (!modern) fail("old");
  progress(0);

  // Until the title screen is up, an error anywhere means the game will not start.
  window.addEventListener("error", function () {
    fail("error");
  });
  window.addEventListener("unhandledrejection", function () {
    fail("error");
  });

  // The engine's script and code are most of the download. Where the browser can unpack, their
  // packed copies are fetched, whatever the server does; the count of bytes is the progress.
  var shares = { "tovik.js": 0, "tovik.wasm": 0 };
  function download(name, weight) {
    var packed = typeof DecompressionStream === "function" && typeof TransformStream === "function";
    return fetch(packed ? name + ".gz" : name, { credentials: "same-origin" }).then(function (response) {
      if (!response.ok) throw new Error(name + ": " + response.status);
      if (!packed || !response.body) return response.arrayBuffer();
      var total = Number(response.headers.get("Content-Length")) || 0;
      var received = 0;
      var counted = response.body.pipeThrough(
        new TransformStream({
          transform: function (chunk, out) {
            received += chunk.length;
            if (total) {
              shares[name] = (weight * received) / total;
              progress(shares["tovik.js"] + shares["tovik.wasm"]);
            }
            out.enqueue(chunk);
          },
        })
      );
      return new Response(counted.pipeThrough(new DecompressionStream("gzip"))).arrayBuffer();
    });
  }

  var code = null;
  var engine = null;
  if (!failed) {
    code = download("tovik.wasm", 0.8);
    code.catch(function () {
      fail("download");
    });
    // The engine's script, run once it is here: it defines createTovik for the page's view.
    engine = download("tovik.js", 0.15).then(
      function (bytes) {
        return new Promise(function (resolve) {
          var script = document.createElement("script");
          script.src = URL.createObjectURL(new Blob([bytes], { type: "text/javascript" }));
          script.onload = resolve;
          script.onerror = function () {
            fail("error");
          };
          document.body.appendChild(script);
        });
      },
      function () {
        fail("download");
        return new Promise(function () {});
      }
    );
  }

  // The engine's module asks for its code here.
  function instantiateWasm(imports, done) {
    code.then(function (bytes) {
      WebAssembly.instantiate(bytes, imports).then(
        function (result) {
          done(result.instance, result.module);
        },
        function () {
          fail("error");
        }
      );
    });
    return {};
  }

  // The title screen is up: the loader goes, and the offline copy of the site is made now, so
  // that its download (the sounds among it) does not hold the title back.
  function done() {
    if (failed) return;
    progress(1);
    ready = true;
    byId("loader").hidden = true;
    if ("serviceWorker" in navigator && window.isSecureContext) {
      navigator.serviceWorker.register("sw.js").catch(function () {});
    }
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
  };
})();
