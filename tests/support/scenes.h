#pragma once
// Scenes for tests: the facts without a file, and the header of a file a test wrote.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/scene_facts.h"
#include "viewer/scene/native_scene.h"

namespace testing_support {

// The header of a file the test wrote, read back.
inline tesmar::NativeScene loadScene(const std::filesystem::path& path) {
    auto s = tesmar::readNativeHeader(path);
    EXPECT_TRUE(s.ok()) << s.error();
    return s.ok() ? *s : tesmar::NativeScene{};
}

}  // namespace testing_support
