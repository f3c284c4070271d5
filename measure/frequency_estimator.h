#pragma once

// Both in hertz. deviation carries the stop threshold into an estimate and the mean absolute
// deviation of its samples out of it.
struct FrequencyEstimate {
    double mean;
    double deviation;
};

// Estimates the frequency of the processor the calling thread runs on, on that thread, from
// samples of windowMs milliseconds each: a running mean (each new sample weighs one half) and
// the mean absolute deviation of the samples from it. Stops once the deviation is no longer
// above the threshold passed in `deviation`, or after refinementCap refinement samples
// (always at least one). Returns 1 and writes both outputs on success. Returns 0 and writes
// neither when the performance counter's frequency cannot be read or windowMs is 0 (a window
// of no length gives no frequency).
int EstimateFrequency(double& mean, double& deviation, unsigned windowMs, unsigned refinementCap);
