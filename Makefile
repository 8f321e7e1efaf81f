# SPDX-License-Identifier: MIT
# The two commands a fresh machine needs:
#   make run    installs what building and playing need, builds and starts the game
#   make test   installs the test tools as well, builds and runs every test
# The sanitizer suites run first so that the last line is the full suite's summary.
# The game alone is built without the tests, so it needs no test library.

.PHONY: run test deps test-deps build bench clean

run: build
	./build/bin/zarpeta

test: test-deps
	cmake --preset tsan
	cmake --build --preset tsan
	ctest --preset tsan
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan
	cmake --preset default -DBUILD_TESTING=ON
	cmake --build --preset default
	ctest --preset default

build: deps
	cmake --preset default -DBUILD_TESTING=OFF
	cmake --build --preset default

bench: test-deps
	cmake --preset default -DBUILD_TESTING=ON
	cmake --build --preset default
	for b in build/bin/zarpeta-bench-*; do $$b; done

deps:
	./scripts/install-deps

test-deps:
	./scripts/install-deps --tests

clean:
	rm -rf build build-tsan build-asan
