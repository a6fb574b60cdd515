# The README's two commands: `make run` and `make test`.
BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release
# `make install` puts the program under $(DESTDIR)$(PREFIX).
PREFIX ?= /usr/local
DESTDIR ?=

.PHONY: all deps configure build run test install package sanitize fuzz windows test-windows web \
        web-unit-tests test-web clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD)

run: build
	@scripts/run-show

test: build
	cd $(BUILD) && ctest --output-on-failure

# The program, its data, desktop entry, icons and man page (dist/install.cmake).
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# A Debian package of the same tree under /usr, left in $(BUILD).
package: build
	cd $(BUILD) && cpack -G DEB
	@echo "package: $$(ls -t $(BUILD)/vallup_*.deb | head -n 1)"

# The conformance run, the PNG capture and the broken-asset runs under
# AddressSanitizer and UndefinedBehaviorSanitizer (a build of its own).
sanitize: deps
	scripts/sanitize-check

# A long run of the OBJ loader's fuzzer (OBJ_FUZZ_SECONDS, default 600).
fuzz: build
	cmake --build $(BUILD) --target fuzz_obj_long

# The Windows x64 program and its zip, cross-built with mingw-w64
# (build-windows/), and its tests under Wine.
windows:
	@scripts/build-windows

test-windows:
	@scripts/build-windows windows-tests
	scripts/test-windows

# The show as a static web folder, build-web/site/ (index.html, vallup.js,
# vallup.wasm, vallup.data), built with emscripten (build-web/).
web:
	@scripts/build-web

# The web build's unit tests under node.
web-unit-tests:
	@scripts/build-web web-tests
	scripts/test-web-unit

# The page's tests in headless Chromium against the Linux build's pictures,
# after `make web` (build-web/site/).
test-web:
	@scripts/build-web web-tests
	scripts/test-web

clean:
	rm -rf $(BUILD) build-windows build-web
