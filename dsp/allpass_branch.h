#pragma once

// A chain of n first-order allpass sections, each (a + z^-1) / (1 + a z^-1) at its own rate.
// Every section keeps its previous input x[k] and previous output y[k].
template <int N> struct AllpassBranch
{
    double x[N] = {};
    double y[N] = {};

    void clear()
    {
        for (int k = 0; k < N; ++k)
        {
            x[k] = 0.0;
            y[k] = 0.0;
        }
    }

    double process(double s, const double* a)
    {
        for (int k = 0; k < N; ++k)
        {
            const double out = (s - y[k]) * a[k] + x[k];
            x[k] = s;
            y[k] = out;
            s = out;
        }
        return s;
    }
};
