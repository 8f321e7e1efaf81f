# SPDX-License-Identifier: MIT
# The two commands a fresh machine needs:
#   make run    installs what is missing, builds and starts the game
#   make test   installs what is missing, builds and runs every test
# The sanitizer suites run first so that the last line is the full suite's summary.

.PHONY: run test deps build bench clean

run: build
	./build/bin/zarpeta

test: deps
	cmake --preset tsan
	cmake --build --preset tsan
	ctest --preset tsan
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan
	cmake --preset default
	cmake --build --preset default
	ctest --preset default

build: deps
	cmake --preset default
	cmake --build --preset default

bench: build
	for b in build/bin/zarpeta-bench-*; do $$b; done

deps:
	./scripts/install-deps

clean:
	rm -rf build build-tsan build-asan
