# Kestrel: `make run` starts the program, `make test` runs the whole suite.
JOBS ?= $(shell nproc)
BUILD ?= build
RELEASE ?= build-release
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_RUNS ?=
PREFIX ?= /usr/local

.PHONY: run test test-sanitize fuzz bench deps build configure-release release install uninstall package clean

deps:
	@bash scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(BUILD) -j$(JOBS)

configure-release: deps
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release >/dev/null

release: configure-release
	cmake --build $(RELEASE) -j$(JOBS)

# Only the program: a first run does not wait for tests and benchmarks.
run: configure-release
	cmake --build $(RELEASE) --target kestrel -j$(JOBS)
	./$(RELEASE)/kestrel $(ARGS)

# make install [PREFIX=/usr/local] [DESTDIR=...]: the program, its colour set,
# help pages, menu entry and icon. make uninstall [DESTDIR=...] removes what
# it installed.
install: configure-release
	cmake --build $(RELEASE) --target kestrel -j$(JOBS)
	DESTDIR="$(DESTDIR)" cmake --install $(RELEASE) --prefix "$(PREFIX)"

uninstall:
	DESTDIR="$(DESTDIR)" cmake -DMANIFEST=$(RELEASE)/install_manifest.txt -P desktop/uninstall.cmake

# A Debian package in $(RELEASE): kestrel_<version>_<arch>.deb.
package: configure-release
	cmake --build $(RELEASE) --target kestrel -j$(JOBS)
	cd $(RELEASE) && cpack -G DEB

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

# The suite under AddressSanitizer and UndefinedBehaviorSanitizer, in a build
# folder of its own. Leaks inside the system libraries below Qt are suppressed
# in tests/lsan.supp; ours fail the test like any other fault.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKESTREL_SANITIZE=ON >/dev/null
	cmake --build $(SANITIZE_BUILD) -j$(JOBS)
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen \
		ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:strict_init_order=1 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
		ctest --output-on-failure -j$(JOBS)

# The fuzz targets, built with clang, each run for FUZZ_SECONDS (two at a time),
# or until FUZZ_RUNS executions when that is given and comes first.
fuzz:
	@bash scripts/install-deps fuzz
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DKESTREL_FUZZ=ON >/dev/null
	cmake --build $(FUZZ_BUILD) -j$(JOBS)
	FUZZ_RUNS=$(FUZZ_RUNS) bash fuzz/run $(FUZZ_BUILD) $(FUZZ_SECONDS)

# make bench [BENCH=name]
bench: release
	bash bench/run $(RELEASE) $(BENCH)

clean:
	rm -rf $(BUILD) $(RELEASE) $(SANITIZE_BUILD) $(FUZZ_BUILD)
