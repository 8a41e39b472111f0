// Shared test helpers live beside this file; the library needs one source of its own.
namespace test_support {}
