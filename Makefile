# Set-up is two commands: `make run` and `make test`. Both install what is missing first.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)

FUZZ_BUILD ?= build-fuzz
WEB_BUILD ?= build-web
FUZZ_SECONDS ?= 60

PREFIX ?= /usr/local

.PHONY: all deps configure build run test test-asan test-web web run-web bench bench-web fuzz install package clean

all: build

deps:
	@bash scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	bash scripts/run-desktop $(BUILD)/bin/vellum $(ARGS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	$(MAKE) test-asan
	$(MAKE) test-web

# The unit tests once more, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELLUM_SANITIZE=ON \
	      -DVELLUM_QT=OFF -DVELLUM_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target test_pixel test_engine test_formats test_system vellum-scenario \
	      replay_bmp replay_png replay_jpeg replay_picture replay_settings replay_journal replay_module \
	      replay_script
	ASAN_OPTIONS=detect_leaks=1 ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) -L 'unit|scenario'

# Each libFuzzer harness for FUZZ_SECONDS, with AddressSanitizer and UndefinedBehaviorSanitizer.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DVELLUM_SANITIZE=ON -DVELLUM_FUZZ=ON -DVELLUM_QT=OFF -DVELLUM_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	bash scripts/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The browser page (build-web/site) and a server for it on 127.0.0.1.
web: build
	bash scripts/build-web $(BUILD) $(WEB_BUILD)

run-web: web
	node web/test/serve.mjs $(WEB_BUILD)/site $(PORT)

# The page in headless chromium: exactness against the headless driver, files, storage,
# fingers, offline; and that the benchmark page runs.
test-web: web
	bash scripts/test-web $(BUILD) $(WEB_BUILD)

# Installs under PREFIX (and DESTDIR, when set, as cmake --install honours it).
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package in $(BUILD)/, its library dependencies computed from the program.
package: build
	cd $(BUILD) && cpack -G DEB

bench: build
	bash scripts/run-bench $(BUILD)

# The stroke in headless chromium against bench_stroke, in turns: BENCH_ROUNDS rounds.
BENCH_ROUNDS ?= 5
bench-web: web
	cd web/test && { [ -d node_modules/playwright-core ] || npm ci --no-audit --no-fund > /dev/null; } && \
	  node bench.mjs $(abspath $(WEB_BUILD)) $(abspath $(BUILD))/bin/bench_stroke $(BENCH_ROUNDS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WEB_BUILD)
