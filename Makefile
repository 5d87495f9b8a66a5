BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: deps build run test bench screenshots clean

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/ui/qjxsplit

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	$(BUILD)/bench/split_bench

screenshots: build
	scripts/screenshots.sh $(BUILD)/ui/qjxsplit screenshots

clean:
	rm -rf $(BUILD)
