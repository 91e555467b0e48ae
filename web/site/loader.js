// The first thing the page runs, written for any browser, however old, so that one that cannot
// play still hears why. It shows how much of the game has arrived, fetches the engine with a
// count of its bytes, and puts a plain message and «Попробовать снова» in place of the game
// when the browser lacks what the game needs or the download fails.
"use strict";

var tovikLoader = (function () {
  var kProblems = {
    nowasm:
      "В этом браузере выключен или отсутствует WebAssembly, без которого игра не запускается. " +
      "Включите WebAssembly в настройках браузера или откройте страницу в другом, более новом браузере.",
    old:
      "Этот браузер слишком старый для игры. " +
      "Обновите его или откройте страницу в другом, более новом браузере.",
    download:
      "Игру не удалось загрузить: связь прервалась. " +
      "Проверьте подключение к интернету и попробуйте снова.",
    error:
      "Игра не смогла запуститься в этом браузере. " +
      "Попробуйте снова; если не поможет, откройте страницу в другом, более новом браузере.",
  };
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
    byId("loader-problem-text").textContent = kProblems[kind] || kProblems.error;
    byId("loader-problem").hidden = false;
    document.documentElement.setAttribute("data-failed", kind);
    byId("loader-retry").focus();
  }

  function progress(fraction) {
    if (failed) return;
    var percent = Math.max(0, Math.min(100, Math.floor(fraction * 100)));
    byId("loader-progress").textContent = "Загрузка… " + percent + "%";
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

  // The engine's module asks for its code here: fetched with a running count of the bytes, as
  // most of the download is this one file.
  function instantiateWasm(imports, done) {
    fetch("tovik.wasm", { credentials: "same-origin" })
      .then(function (response) {
        if (!response.ok) throw new Error("tovik.wasm: " + response.status);
        var total = Number(response.headers.get("Content-Length")) || 0;
        if (!total || !response.body || !response.body.getReader) return response.arrayBuffer();
        var reader = response.body.getReader();
        var parts = [];
        var received = 0;
        function pump() {
          return reader.read().then(function (step) {
            if (step.done) {
              var bytes = new Uint8Array(received);
              var at = 0;
              for (var i = 0; i < parts.length; i++) {
                bytes.set(parts[i], at);
                at += parts[i].length;
              }
              return bytes.buffer;
            }
            parts.push(step.value);
            received += step.value.length;
            progress((0.95 * received) / total);
            return pump();
          });
        }
        return pump();
      })
      .then(
        function (bytes) {
          return WebAssembly.instantiate(bytes, imports).then(
            function (result) {
              done(result.instance, result.module);
            },
            function () {
              fail("error");
            }
          );
        },
        function () {
          fail("download");
        }
      );
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
    fail: fail,
    progress: progress,
    instantiateWasm: instantiateWasm,
    done: done,
    usable: hasWasm && modern,
  };
})();
