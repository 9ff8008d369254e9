.PHONY: run test bench build format
run:
	scripts/run
test:
	scripts/test
bench:
	scripts/bench
build:
	scripts/build
format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')
