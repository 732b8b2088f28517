#pragma once

#include "engines/nerith/device.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The model card of the BSIM3 (version 3.3) MOSFET: the selectors, process and junction values,
// and the parameters that scale with the device's size, each held with its length, width and
// product terms (binning).

namespace nerith::bsim3 {

// The size-dependent parameters, in the order of their rows.
enum Binned : std::size_t {
    Cdsc,
    Cdscb,
    Cdscd,
    Cit,
    Nfactor,
    Xj,
    Vsat,
    At,
    A0,
    Ags,
    A1,
    A2,
    Keta,
    Nsub,
    Npeak,
    Ngate,
    Gamma1,
    Gamma2,
    Vbx,
    Vbm,
    Xt,
    K1,
    Kt1,
    Kt1l,
    Kt2,
    K2,
    K3,
    K3b,
    W0,
    Nlx,
    Dvt0,
    Dvt1,
    Dvt2,
    Dvt0w,
    Dvt1w,
    Dvt2w,
    Drout,
    Dsub,
    Vth0,
    Ua,
    Ua1,
    Ub,
    Ub1,
    Uc,
    Uc1,
    U0,
    Ute,
    Voff,
    Elm,
    Delta,
    Rdsw,
    Prwg,
    Prwb,
    Prt,
    Eta0,
    Etab,
    Pclm,
    Pdibl1,
    Pdibl2,
    Pdiblb,
    Pscbe1,
    Pscbe2,
    Pvag,
    Wr,
    Dwg,
    Dwb,
    B0,
    B1,
    Cgsl,
    Cgdl,
    Ckappa,
    Cf,
    Clc,
    Cle,
    Alpha0,
    Alpha1,
    Beta0,
    Vfbcv,
    Vfb,
    Acde,
    Moin,
    Noff,
    Voffcv,
    BinnedCount
};

// The four terms of a binned parameter: P = P0 + PL / Leff + PW / Weff + PP / (Leff Weff).
enum Term : std::size_t { Base, ByLength, ByWidth, ByArea };

struct Model : IFmodel {
    int32_t polarity = 1; // +1 N channel, -1 P channel
    int32_t capmod = 3, mobmod = 1, noimod = 1, nqsmod = 0, acnqsmod = 0, paramchk = 0, binunit = 1;
    std::string version; // empty: not given
    double bin[BinnedCount][4] {};
    bool given[BinnedCount] {}; // the base term was set
    // Process and geometry.
    double tox = 0, toxm = 0, xpart = 0, lintnoi = 0;
    double lint = 0, ll = 0, llc = 0, lln = 0, lw = 0, lwc = 0, lwn = 0, lwl = 0, lwlc = 0, lmin = 0,
           lmax = 0;
    double wint = 0, wl = 0, wlc = 0, wln = 0, ww = 0, wwc = 0, wwn = 0, wwl = 0, wwlc = 0, wmin = 0,
           wmax = 0;
    double xl = 0, xw = 0, dlc = 0, dwc = 0;
    bool toxmgiven = false, llcgiven = false, lwcgiven = false, lwlcgiven = false, wlcgiven = false,
         wwcgiven = false, wwlcgiven = false, dlcgiven = false, dwcgiven = false;
    // Overlaps.
    double cgso = 0, cgdo = 0, cgbo = 0;
    bool cgsogiven = false, cgdogiven = false, cgbogiven = false;
    // Source and drain junctions and resistance.
    double rsh = 0, js = 0, jsw = 0, nj = 0, xti = 0, ijth = 0;
    double pb = 0, mj = 0, pbsw = 0, mjsw = 0, pbswg = 0, mjswg = 0, cj = 0, cjsw = 0, cjswg = 0;
    bool pbswggiven = false, mjswggiven = false, cjswggiven = false;
    double tpb = 0, tcj = 0, tpbsw = 0, tcjsw = 0, tpbswg = 0, tcjswg = 0;
    double tnom = 0;
    bool tnomgiven = false;
    // Noise.
    double noia = 0, noib = 0, noic = 0, em = 0, ef = 0, af = 0, kf = 0;
    bool noiagiven = false, noibgiven = false, noicgiven = false;
    // The model's warnings were given: they are given once per model.
    mutable bool warned = false;
};

} // namespace nerith::bsim3
