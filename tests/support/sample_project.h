// A project that holds at least one object of every serialisable class, with
// distinct values in every field, for round trips and the shared fixture.
#pragma once

#include <memory>

#include "install/installproject.h"

namespace testing_support {

std::unique_ptr<CInstallProject> MakeEveryClassProject();

// The fixture written from it by the host build and read by the Wine suite.
constexpr const char* kEveryClassFixture = "every_class_project.idx";

}  // namespace testing_support
