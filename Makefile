BUILD ?= build
JOBS  ?= $(shell nproc)
# Warnings become errors where the compiler is known: QJX_WERROR=ON (CI).
QJX_WERROR ?= OFF

.PHONY: deps build run test bench screenshots clean

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQJX_WERROR=$(QJX_WERROR)
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
