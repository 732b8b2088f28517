#pragma once

#include "engines/nerith/devices/bsim3model.h"
#include "engines/nerith/devices/bsimload.h"
#include "engines/nerith/devices/junction.h"
#include "engines/nerith/parameters.h"

#include <array>
#include <cstdlib>
#include <utility>

// The BSIM3 model's parameter table: one row per parameter, and for each size-dependent parameter a
// row of its four keywords (the base value and its length, width and product terms).

namespace nerith::bsim3 {

// Ids of the rows that are no binned parameter.
enum : int32_t {
    Nmos = 1,
    Pmos,
    Polarity,
    Capmod,
    Mobmod,
    Noimod,
    Nqsmod,
    Acnqsmod,
    Paramchk,
    Binunit,
    Version,
    Tox,
    Toxm,
    Xpart,
    Lintnoi,
    Lint,
    Ll,
    Llc,
    Lln,
    Lw,
    Lwc,
    Lwn,
    Lwl,
    Lwlc,
    Lmin,
    Lmax,
    Wint,
    Wl,
    Wlc,
    Wln,
    Ww,
    Wwc,
    Wwn,
    Wwl,
    Wwlc,
    Wmin,
    Wmax,
    Xl,
    Xw,
    Dlc,
    Dwc,
    Cgso,
    Cgdo,
    Cgbo,
    Rsh,
    Js,
    Jsw,
    Nj,
    Xti,
    Ijth,
    Pb,
    Mj,
    Pbsw,
    Mjsw,
    Pbswg,
    Mjswg,
    Cj,
    Cjsw,
    Cjswg,
    Tpb,
    Tcj,
    Tpbsw,
    Tcjsw,
    Tpbswg,
    Tcjswg,
    Tnom,
    Noia,
    Noib,
    Noic,
    Em,
    Ef,
    Af,
    Kf,
    BinnedIds = 1000, // + 4 k + term of binned parameter k
    AliasIds = 2000, // + term: "vtho", the other spelling of "vth0"
};

// The keywords of a binned parameter's four terms, what it is, its unit and its default.
struct BinnedRow {
    const char* keywords[4];
    const char* description;
    const char* unit;
    double initial;
};

// In the order of `Binned`. Defaults that depend on other values (u0, uc, uc1, dsub, vth0, vfb,
// k1, k2, gamma1, gamma2, vbx, cf) are worked out when the instance's size is.
inline constexpr BinnedRow binnedrows[BinnedCount] = {
    { { "cdsc", "lcdsc", "wcdsc", "pcdsc" }, "Drain/source to channel coupling capacitance", "F/m2", 2.4e-4 },
    { { "cdscb", "lcdscb", "wcdscb", "pcdscb" }, "Body-bias dependence of cdsc", "F/Vm2", 0 },
    { { "cdscd", "lcdscd", "wcdscd", "pcdscd" }, "Drain-bias dependence of cdsc", "F/Vm2", 0 },
    { { "cit", "lcit", "wcit", "pcit" }, "Interface state capacitance", "F/m2", 0 },
    { { "nfactor", "lnfactor", "wnfactor", "pnfactor" }, "Subthreshold swing coefficient", "", 1 },
    { { "xj", "lxj", "wxj", "pxj" }, "Junction depth", "m", 0.15e-6 },
    { { "vsat", "lvsat", "wvsat", "pvsat" }, "Saturation velocity at tnom", "m/s", 8e4 },
    { { "at", "lat", "wat", "pat" }, "Temperature coefficient of vsat", "m/s", 3.3e4 },
    { { "a0", "la0", "wa0", "pa0" }, "Non-uniform depletion width effect coefficient", "", 1 },
    { { "ags", "lags", "wags", "pags" }, "Gate bias coefficient of Abulk", "1/V", 0 },
    { { "a1", "la1", "wa1", "pa1" }, "First non-saturation factor", "1/V", 0 },
    { { "a2", "la2", "wa2", "pa2" }, "Second non-saturation factor", "", 1 },
    { { "keta", "lketa", "wketa", "pketa" }, "Body-bias coefficient of non-uniform depletion width effect",
        "1/V", -0.047 },
    { { "nsub", "lnsub", "wnsub", "pnsub" }, "Substrate doping concentration", "1/cm3", 6e16 },
    { { "nch", "lnch", "wnch", "pnch" }, "Channel doping concentration", "1/cm3", 1.7e17 },
    { { "ngate", "lngate", "wngate", "pngate" }, "Poly-gate doping concentration", "1/cm3", 0 },
    { { "gamma1", "lgamma1", "wgamma1", "pgamma1" }, "Body effect coefficient near the interface", "V^0.5",
        0 },
    { { "gamma2", "lgamma2", "wgamma2", "pgamma2" }, "Body effect coefficient in the bulk", "V^0.5", 0 },
    { { "vbx", "lvbx", "wvbx", "pvbx" }, "Vbs at which the depletion width equals xt", "V", 0 },
    { { "vbm", "lvbm", "wvbm", "pvbm" }, "Maximum body voltage", "V", -3 },
    { { "xt", "lxt", "wxt", "pxt" }, "Doping depth", "m", 1.55e-7 },
    { { "k1", "lk1", "wk1", "pk1" }, "First-order body effect coefficient", "V^0.5", 0 },
    { { "kt1", "lkt1", "wkt1", "pkt1" }, "Temperature coefficient of the threshold", "V", -0.11 },
    { { "kt1l", "lkt1l", "wkt1l", "pkt1l" }, "Length dependence of kt1", "Vm", 0 },
    { { "kt2", "lkt2", "wkt2", "pkt2" }, "Body-bias coefficient of kt1", "", 0.022 },
    { { "k2", "lk2", "wk2", "pk2" }, "Second-order body effect coefficient", "", 0 },
    { { "k3", "lk3", "wk3", "pk3" }, "Narrow width effect coefficient", "", 80 },
    { { "k3b", "lk3b", "wk3b", "pk3b" }, "Body effect coefficient of k3", "1/V", 0 },
    { { "w0", "lw0", "ww0", "pw0" }, "Narrow width effect parameter", "m", 2.5e-6 },
    { { "nlx", "lnlx", "wnlx", "pnlx" }, "Lateral non-uniform doping effect", "m", 1.74e-7 },
    { { "dvt0", "ldvt0", "wdvt0", "pdvt0" }, "First short-channel effect coefficient", "", 2.2 },
    { { "dvt1", "ldvt1", "wdvt1", "pdvt1" }, "Second short-channel effect coefficient", "", 0.53 },
    { { "dvt2", "ldvt2", "wdvt2", "pdvt2" }, "Body-bias coefficient of the short-channel effect", "1/V",
        -0.032 },
    { { "dvt0w", "ldvt0w", "wdvt0w", "pdvt0w" }, "First narrow width coefficient of the short-channel effect",
        "1/m", 0 },
    { { "dvt1w", "ldvt1w", "wdvt1w", "pdvt1w" },
        "Second narrow width coefficient of the short-channel effect", "1/m", 5.3e6 },
    { { "dvt2w", "ldvt2w", "wdvt2w", "pdvt2w" }, "Body-bias coefficient of the narrow width effect", "1/V",
        -0.032 },
    { { "drout", "ldrout", "wdrout", "pdrout" }, "Length dependence of the DIBL of the output resistance", "",
        0.56 },
    { { "dsub", "ldsub", "wdsub", "pdsub" }, "DIBL coefficient in subthreshold", "", 0 },
    { { "vth0", "lvth0", "wvth0", "pvth0" }, "Threshold voltage at zero body bias", "V", 0 },
    { { "ua", "lua", "wua", "pua" }, "Linear gate dependence of mobility", "m/V", 2.25e-9 },
    { { "ua1", "lua1", "wua1", "pua1" }, "Temperature coefficient of ua", "m/V", 4.31e-9 },
    { { "ub", "lub", "wub", "pub" }, "Quadratic gate dependence of mobility", "(m/V)^2", 5.87e-19 },
    { { "ub1", "lub1", "wub1", "pub1" }, "Temperature coefficient of ub", "(m/V)^2", -7.61e-18 },
    { { "uc", "luc", "wuc", "puc" }, "Body-bias dependence of mobility", "m/V^2", 0 },
    { { "uc1", "luc1", "wuc1", "puc1" }, "Temperature coefficient of uc", "m/V^2", 0 },
    { { "u0", "lu0", "wu0", "pu0" }, "Low-field mobility at tnom", "m2/Vs", 0 },
    { { "ute", "lute", "wute", "pute" }, "Temperature exponent of mobility", "", -1.5 },
    { { "voff", "lvoff", "wvoff", "pvoff" }, "Threshold offset in subthreshold", "V", -0.08 },
    { { "elm", "lelm", "welm", "pelm" }, "Elmore constant of the channel", "", 5 },
    { { "delta", "ldelta", "wdelta", "pdelta" }, "Effective drain voltage smoothing", "V", 0.01 },
    { { "rdsw", "lrdsw", "wrdsw", "prdsw" }, "Source-drain resistance per width", "ohm um^wr", 0 },
    { { "prwg", "lprwg", "wprwg", "pprwg" }, "Gate-bias effect on the source-drain resistance", "1/V", 0 },
    { { "prwb", "lprwb", "wprwb", "pprwb" }, "Body effect on the source-drain resistance", "1/V^0.5", 0 },
    { { "prt", "lprt", "wprt", "pprt" }, "Temperature coefficient of rdsw", "ohm um", 0 },
    { { "eta0", "leta0", "weta0", "peta0" }, "DIBL coefficient in subthreshold", "", 0.08 },
    { { "etab", "letab", "wetab", "petab" }, "Body-bias coefficient of eta0", "1/V", -0.07 },
    { { "pclm", "lpclm", "wpclm", "ppclm" }, "Channel length modulation coefficient", "", 1.3 },
    { { "pdiblc1", "lpdiblc1", "wpdiblc1", "ppdiblc1" }, "First DIBL coefficient of the output resistance",
        "", 0.39 },
    { { "pdiblc2", "lpdiblc2", "wpdiblc2", "ppdiblc2" }, "Second DIBL coefficient of the output resistance",
        "", 0.0086 },
    { { "pdiblcb", "lpdiblcb", "wpdiblcb", "ppdiblcb" }, "Body effect on the DIBL of the output resistance",
        "1/V", 0 },
    { { "pscbe1", "lpscbe1", "wpscbe1", "ppscbe1" }, "First substrate current body effect coefficient", "V/m",
        4.24e8 },
    { { "pscbe2", "lpscbe2", "wpscbe2", "ppscbe2" }, "Second substrate current body effect coefficient",
        "m/V", 1e-5 },
    { { "pvag", "lpvag", "wpvag", "ppvag" }, "Gate dependence of the early voltage", "", 0 },
    { { "wr", "lwr", "wwr", "pwr" }, "Width dependence of rds", "", 1 },
    { { "dwg", "ldwg", "wdwg", "pdwg" }, "Gate dependence of the effective width", "m/V", 0 },
    { { "dwb", "ldwb", "wdwb", "pdwb" }, "Body dependence of the effective width", "m/V^0.5", 0 },
    { { "b0", "lb0", "wb0", "pb0" }, "Abulk narrow width term", "m", 0 },
    { { "b1", "lb1", "wb1", "pb1" }, "Abulk narrow width offset", "m", 0 },
    { { "cgsl", "lcgsl", "wcgsl", "pcgsl" }, "Gate-source overlap capacitance of the lightly doped region",
        "F/m", 0 },
    { { "cgdl", "lcgdl", "wcgdl", "pcgdl" }, "Gate-drain overlap capacitance of the lightly doped region",
        "F/m", 0 },
    { { "ckappa", "lckappa", "wckappa", "pckappa" }, "Coefficient of the lightly doped overlap capacitance",
        "V", 0.6 },
    { { "cf", "lcf", "wcf", "pcf" }, "Fringing field capacitance", "F/m", 0 },
    { { "clc", "lclc", "wclc", "pclc" }, "Vdsat parameter of the C-V model", "m", 0.1e-6 },
    { { "cle", "lcle", "wcle", "pcle" }, "Vdsat exponent of the C-V model", "", 0.6 },
    { { "alpha0", "lalpha0", "walpha0", "palpha0" }, "First impact ionization coefficient", "m/V", 0 },
    { { "alpha1", "lalpha1", "walpha1", "palpha1" }, "Length-scaled impact ionization coefficient", "1/V",
        0 },
    { { "beta0", "lbeta0", "wbeta0", "pbeta0" }, "Second impact ionization coefficient", "V", 30 },
    { { "vfbcv", "lvfbcv", "wvfbcv", "pvfbcv" }, "Flat band voltage of CAPMOD 0", "V", -1 },
    { { "vfb", "lvfb", "wvfb", "pvfb" }, "Flat band voltage", "V", 0 },
    { { "acde", "lacde", "wacde", "pacde" }, "Exponential coefficient of the charge thickness", "m/V", 1 },
    { { "moin", "lmoin", "wmoin", "pmoin" }, "Coefficient of the gate-bias dependent surface potential", "",
        15 },
    { { "noff", "lnoff", "wnoff", "pnoff" }, "Subthreshold swing factor of the C-V model", "", 1 },
    { { "voffcv", "lvoffcv", "wvoffcv", "pvoffcv" }, "Threshold offset of the C-V model", "V", 0 },
};

// The row of term T of binned parameter K under `keyword` and `id`.
template <std::size_t K, std::size_t T> constexpr Parameter<Model> binnedrow(const char* keyword, int32_t id)
{
    Parameter<Model> row
        = rows::basic<Model>(keyword, id, IF_REAL | IF_SET | IF_ASK, binnedrows[K].description);
    row.set = &bsim::setbinned<Model, K, T>;
    row.ask = &bsim::askbinned<Model, K, T>;
    row.reset = &bsim::resetbinned<Model, K, T>;
    if constexpr (T == Base) {
        row.unit = binnedrows[K].unit;
        row.initial = binnedrows[K].initial;
    }
    return row;
}

// "version": the text of the model's version.
inline int setversion(Model& m, const IFvalue& value)
{
    m.version = value.sValue ? value.sValue : "";
    std::free(value.sValue);
    return 0;
}

inline constexpr Parameter<Model> plainrows[] = {
    settable<&setpolarity<Model, 1>>("nmos", Nmos, IF_FLAG, "N type MOSfet model"),
    settable<&setpolarity<Model, -1>>("pmos", Pmos, IF_FLAG, "P type MOSfet model"),
    reading<&Model::polarity>("type", Polarity, "N (1) or P (-1) channel"),
    field<&Model::capmod>("capmod", Capmod, "Capacitance model selector").initially(3),
    field<&Model::mobmod>("mobmod", Mobmod, "Mobility model selector").initially(1),
    field<&Model::noimod>("noimod", Noimod, "Noise model selector").initially(1),
    field<&Model::nqsmod>("nqsmod", Nqsmod, "Non-quasi-static model selector"),
    field<&Model::acnqsmod>("acnqsmod", Acnqsmod, "AC non-quasi-static model selector"),
    field<&Model::paramchk>("paramchk", Paramchk, "Model parameter checking selector"),
    field<&Model::binunit>("binunit", Binunit, "Bin unit selector").initially(1),
    settable<&setversion>("version", Version, IF_STRING, "Model version"),
    field<&Model::tox>("tox", Tox, "Gate oxide thickness").in("m").initially(150e-10),
    field<&Model::toxm, &Model::toxmgiven>(
        "toxm", Toxm, "Gate oxide thickness the parameters were extracted at")
        .in("m"),
    field<&Model::xpart>("xpart", Xpart, "Channel charge partitioning"),
    field<&Model::lintnoi>("lintnoi", Lintnoi, "Length reduction of the noise calculation").in("m"),
    field<&Model::lint>("lint", Lint, "Length reduction").in("m"),
    field<&Model::ll>("ll", Ll, "Length dependence of the length reduction").in("m^lln"),
    field<&Model::llc, &Model::llcgiven>("llc", Llc, "Length dependence of the C-V length reduction"),
    field<&Model::lln>("lln", Lln, "Length exponent of the length reduction").initially(1),
    field<&Model::lw>("lw", Lw, "Width dependence of the length reduction").in("m^lwn"),
    field<&Model::lwc, &Model::lwcgiven>("lwc", Lwc, "Width dependence of the C-V length reduction"),
    field<&Model::lwn>("lwn", Lwn, "Width exponent of the length reduction").initially(1),
    field<&Model::lwl>("lwl", Lwl, "Area dependence of the length reduction"),
    field<&Model::lwlc, &Model::lwlcgiven>("lwlc", Lwlc, "Area dependence of the C-V length reduction"),
    field<&Model::lmin>("lmin", Lmin, "Minimum length of the model").in("m"),
    field<&Model::lmax>("lmax", Lmax, "Maximum length of the model").in("m").initially(1),
    field<&Model::wint>("wint", Wint, "Width reduction").in("m"),
    field<&Model::wl>("wl", Wl, "Length dependence of the width reduction").in("m^wln"),
    field<&Model::wlc, &Model::wlcgiven>("wlc", Wlc, "Length dependence of the C-V width reduction"),
    field<&Model::wln>("wln", Wln, "Length exponent of the width reduction").initially(1),
    field<&Model::ww>("ww", Ww, "Width dependence of the width reduction").in("m^wwn"),
    field<&Model::wwc, &Model::wwcgiven>("wwc", Wwc, "Width dependence of the C-V width reduction"),
    field<&Model::wwn>("wwn", Wwn, "Width exponent of the width reduction").initially(1),
    field<&Model::wwl>("wwl", Wwl, "Area dependence of the width reduction"),
    field<&Model::wwlc, &Model::wwlcgiven>("wwlc", Wwlc, "Area dependence of the C-V width reduction"),
    field<&Model::wmin>("wmin", Wmin, "Minimum width of the model").in("m"),
    field<&Model::wmax>("wmax", Wmax, "Maximum width of the model").in("m").initially(1),
    field<&Model::xl>("xl", Xl, "Length offset of masking and etching").in("m"),
    field<&Model::xw>("xw", Xw, "Width offset of masking and etching").in("m"),
    field<&Model::dlc, &Model::dlcgiven>("dlc", Dlc, "Length reduction of the C-V model").in("m"),
    field<&Model::dwc, &Model::dwcgiven>("dwc", Dwc, "Width reduction of the C-V model").in("m"),
    field<&Model::cgso, &Model::cgsogiven>("cgso", Cgso, "Gate-source overlap capacitance per width")
        .in("F/m"),
    field<&Model::cgdo, &Model::cgdogiven>("cgdo", Cgdo, "Gate-drain overlap capacitance per width")
        .in("F/m"),
    field<&Model::cgbo, &Model::cgbogiven>("cgbo", Cgbo, "Gate-bulk overlap capacitance per length")
        .in("F/m"),
    field<&Model::rsh>("rsh", Rsh, "Source-drain sheet resistance").in("ohm"),
    field<&Model::js>("js", Js, "Junction saturation current density").in("A/m2").initially(1e-4),
    field<&Model::jsw>("jsw", Jsw, "Junction sidewall saturation current density").in("A/m"),
    field<&Model::nj>("nj", Nj, "Junction emission coefficient").initially(1),
    field<&Model::xti>("xti", Xti, "Junction current temperature exponent").initially(3),
    field<&Model::ijth>("ijth", Ijth, "Junction current above which it is continued linearly")
        .in("A")
        .initially(0.1),
    field<&Model::pb>("pb", Pb, "Bottom junction built-in potential").in("V").initially(1),
    field<&Model::mj>("mj", Mj, "Bottom junction grading coefficient").initially(0.5),
    field<&Model::pbsw>("pbsw", Pbsw, "Sidewall junction built-in potential").in("V").initially(1),
    field<&Model::mjsw>("mjsw", Mjsw, "Sidewall junction grading coefficient").initially(0.33),
    field<&Model::pbswg, &Model::pbswggiven>("pbswg", Pbswg, "Gate-side junction built-in potential").in("V"),
    field<&Model::mjswg, &Model::mjswggiven>("mjswg", Mjswg, "Gate-side junction grading coefficient"),
    field<&Model::cj>("cj", Cj, "Bottom junction capacitance per area").in("F/m2").initially(5e-4),
    field<&Model::cjsw>("cjsw", Cjsw, "Sidewall junction capacitance per length").in("F/m").initially(5e-10),
    field<&Model::cjswg, &Model::cjswggiven>("cjswg", Cjswg, "Gate-side junction capacitance per length")
        .in("F/m"),
    field<&Model::tpb>("tpb", Tpb, "Temperature coefficient of pb").in("V/K"),
    field<&Model::tcj>("tcj", Tcj, "Temperature coefficient of cj").in("1/K"),
    field<&Model::tpbsw>("tpbsw", Tpbsw, "Temperature coefficient of pbsw").in("V/K"),
    field<&Model::tcjsw>("tcjsw", Tcjsw, "Temperature coefficient of cjsw").in("1/K"),
    field<&Model::tpbswg>("tpbswg", Tpbswg, "Temperature coefficient of pbswg").in("V/K"),
    field<&Model::tcjswg>("tcjswg", Tcjswg, "Temperature coefficient of cjswg").in("1/K"),
    field<&Model::tnom, &Model::tnomgiven>("tnom", Tnom, "Parameter measurement temperature").in("degC"),
    field<&Model::noia, &Model::noiagiven>("noia", Noia, "First flicker noise parameter"),
    field<&Model::noib, &Model::noibgiven>("noib", Noib, "Second flicker noise parameter"),
    field<&Model::noic, &Model::noicgiven>("noic", Noic, "Third flicker noise parameter"),
    field<&Model::em>("em", Em, "Saturation field of the flicker noise").in("V/m").initially(4.1e7),
    field<&Model::ef>("ef", Ef, "Frequency exponent of the flicker noise").initially(1),
    field<&Model::af>("af", Af, "Current exponent of the flicker noise").initially(1),
    field<&Model::kf>("kf", Kf, "Flicker noise coefficient"),
};

template <std::size_t... K> constexpr auto modeltable(std::index_sequence<K...>)
{
    constexpr std::size_t plain = std::size(plainrows);
    Parameter<Model> rows[plain + 4 * BinnedCount + 4] {};
    std::size_t at = 0;
    for (const Parameter<Model>& row : plainrows)
        rows[at++] = row;
    auto add = [&]<std::size_t k>(std::integral_constant<std::size_t, k>) {
        const auto& names = binnedrows[k].keywords;
        const int32_t id = BinnedIds + static_cast<int32_t>(4 * k);
        rows[at++] = binnedrow<k, Base>(names[0], id);
        rows[at++] = binnedrow<k, ByLength>(names[1], id + 1);
        rows[at++] = binnedrow<k, ByWidth>(names[2], id + 2);
        rows[at++] = binnedrow<k, ByArea>(names[3], id + 3);
    };
    (add(std::integral_constant<std::size_t, K> {}), ...);
    rows[at++] = binnedrow<Vth0, Base>("vtho", AliasIds);
    rows[at++] = binnedrow<Vth0, ByLength>("lvtho", AliasIds + 1);
    rows[at++] = binnedrow<Vth0, ByWidth>("wvtho", AliasIds + 2);
    rows[at++] = binnedrow<Vth0, ByArea>("pvtho", AliasIds + 3);
    return ParameterTable<Model, plain + 4 * BinnedCount + 4>(rows);
}

inline constexpr auto modelparameters = modeltable(std::make_index_sequence<BinnedCount> {});

} // namespace nerith::bsim3
