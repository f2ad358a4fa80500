// A kt9-sim pedal and a fast link to it, for the request tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/communicator.h"
#include "tests/support/sim_process.h"

namespace kt9 {

struct SimPedal {
  explicit SimPedal(std::vector<std::string> args = {}) : sim(std::move(args)), link(test::FastLinkOptions(sim.Port())) {}
  explicit SimPedal(std::vector<std::string> args, LinkOptions options) : sim(std::move(args)), link([&] {
    options.port = sim.Port();
    return options;
  }()) {}

  bool Open() { return sim.Started() && link.Open(); }

  test::SimProcess sim;
  Communicator link;
};

}  // namespace kt9
