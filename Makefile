# The README's two commands: `make run` and `make test`.
BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps configure build run test sanitize fuzz clean

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

# The conformance run, the PNG capture and the broken-asset runs under
# AddressSanitizer and UndefinedBehaviorSanitizer (a build of its own).
sanitize: deps
	scripts/sanitize-check

# A long run of the OBJ loader's fuzzer (OBJ_FUZZ_SECONDS, default 600).
fuzz: build
	cmake --build $(BUILD) --target fuzz_obj_long

clean:
	rm -rf $(BUILD)
