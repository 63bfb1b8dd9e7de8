# Kestrel: `make run` starts the program, `make test` runs the whole suite.
JOBS ?= $(shell nproc)
BUILD ?= build
RELEASE ?= build-release

.PHONY: run test bench deps build configure-release release clean

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

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

# make bench [BENCH=name]
bench: release
	bash bench/run $(RELEASE) $(BENCH)

clean:
	rm -rf $(BUILD) $(RELEASE)
