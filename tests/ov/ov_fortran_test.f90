! Writes a regular and an irregular data set through the by-reference
! bindings from column-major arrays, reads them back and checks every value
! and text.  Prints "ov_fortran_test: ok" and stops with status 0, or names
! the first difference and stops with status 1.
program ov_fortran_test
  use iso_c_binding, only: c_float, c_int
  implicit none
  include 'gridpick/ov.inc'
  interface
    subroutine untranspose_data(dst, src, rows, cols, max_count) bind(C, name='untranspose_data')
      import :: c_float, c_int
      real(c_float), intent(out) :: dst(*)
      real(c_float), intent(in) :: src(*)
      integer(c_int), value :: rows, cols, max_count
    end subroutine untranspose_data
  end interface
  integer, parameter :: nrow = 3, ncol = 4, vrow = 2, vcol = 3
  integer :: ov_write, ov_write_irregular
  external :: ov_write, ov_write_irregular
  integer :: fd, hdr(OV_HEADER_WORDS), back(OV_HEADER_WORDS), priv(2), unused(2)
  real :: field(nrow, ncol), flat(nrow * ncol), got(nrow, ncol)
  real :: u(vrow, vcol), v(vrow, vcol), uflat(vrow * vcol), vflat(vrow * vcol)
  real :: gu(vrow, vcol), gv(vrow, vcol), lats(vrow), lons(vcol), glats(vrow), glons(vcol)
  character(len=40) :: comment
  character(len=20) :: title
  character(len=8) :: units
  character(len=30) :: desc
  character(len=80) :: rcomment, rtitle, runits, rdesc
  integer :: r, c

  do c = 1, ncol
    do r = 1, nrow
      field(r, c) = 10.0 * r + c
    end do
  end do
  do c = 1, vcol
    do r = 1, vrow
      u(r, c) = r - 0.5 * c
      v(r, c) = -100.0 * r - c
    end do
  end do
  lats = [-10.0, 35.5]
  lons = [0.0, 120.0, 240.0]

  call ov_create('fortran_test.ov   ', fd)
  if (fd < 0) call fail('ov_create')

  ! A regular scalar grid.
  hdr = 0
  hdr(OV_W_ID) = 1001
  hdr(OV_W_YEAR) = 1979
  hdr(OV_W_MONTH) = 6
  hdr(OV_W_DAY) = 15
  hdr(OV_W_TIME) = transfer(12.0, 0)
  hdr(OV_W_TYPE) = OV_CONTOUR
  hdr(OV_W_PARAM) = 130
  hdr(OV_W_LEVEL) = 500
  hdr(OV_W_BAD_VALUE) = transfer(-999.0, 0)
  hdr(OV_W_START_LAT) = transfer(90.0, 0)
  hdr(OV_W_END_LAT) = transfer(85.0, 0)
  hdr(OV_W_LAT_INCREMENT) = transfer(2.5, 0)
  hdr(OV_W_LON_INCREMENT) = transfer(2.5, 0)
  hdr(OV_W_NUM_ROWS) = nrow
  hdr(OV_W_NUM_COLUMNS) = ncol
  hdr(OV_W_PRIVATE_LENGTH) = 8
  priv = [123456, -7]
  comment = 'regular field'
  title = 'Temperature'
  units = 'K'
  desc = 'air temperature'
  call untranspose_data(flat, field, nrow, ncol, nrow * ncol)
  if (ov_write(fd, hdr, comment, title, units, desc, priv, flat, flat) /= 0) &
    call fail('ov_write')

  ! An irregular vector grid.
  hdr(OV_W_TYPE) = OV_VECTOR
  hdr(OV_W_NUM_ROWS) = vrow
  hdr(OV_W_NUM_COLUMNS) = vcol
  hdr(OV_W_PRIVATE_LENGTH) = 0
  comment = 'irregular wind'
  call untranspose_data(uflat, u, vrow, vcol, vrow * vcol)
  call untranspose_data(vflat, v, vrow, vcol, vrow * vcol)
  if (ov_write_irregular(fd, hdr, comment, 'Wind', 'm/s', '', priv, uflat, vflat, &
                         lats, lons) /= 0) call fail('ov_write_irregular')
  call ov_close(fd)

  call ov_open('fortran_test.ov', fd, 0)
  if (fd < 0) call fail('ov_open')

  rcomment = ' '
  rtitle = ' '
  runits = ' '
  rdesc = ' '
  back = -1
  call ov_read(fd, back, 80, rcomment, 80, rtitle, 80, runits, 80, rdesc, unused(1), unused(2), &
               nrow * ncol, got, 0, gu, 1, glats, glons)
  if (back(OV_W_TYPE) /= OV_CONTOUR) call fail('type of the regular set')
  if (back(OV_W_VERSION) /= 2) call fail('version')
  if (back(OV_W_LEVEL) /= 500 .or. back(OV_W_PARAM) /= 130) call fail('level or param')
  if (back(OV_W_YEAR) /= 1979 .or. back(OV_W_DAY) /= 15) call fail('date')
  if (transfer(back(OV_W_TIME), 0.0) /= 12.0) call fail('time')
  if (transfer(back(OV_W_BAD_VALUE), 0.0) /= -999.0) call fail('bad value')
  if (back(OV_W_GRID_TYPE) /= 0) call fail('grid type')
  if (back(OV_W_PRIVATE_LENGTH) /= 8) call fail('private length')
  ! Each text is its field less the last character: 39, 19, 7 and 29.
  if (back(OV_W_COMMENT_LENGTH) /= 39 .or. rcomment /= 'regular field') call fail('comment')
  if (back(OV_W_TITLE_LENGTH) /= 19 .or. rtitle /= 'Temperature') call fail('title')
  if (back(OV_W_UNITS_LENGTH) /= 7 .or. runits /= 'K') call fail('units')
  if (back(OV_W_PARAM_DESC_LENGTH) /= 29 .or. rdesc /= 'air temperature') call fail('desc')
  if (back(OV_W_HEADER_SIZE) /= 136 + 39 + 19 + 7 + 29 + 8) call fail('header size')
  if (any(got /= field)) call fail('regular data')
  call ov_free(back)

  rtitle = ' '
  call ov_read(fd, back, 0, rcomment, 3, rtitle, 0, runits, 0, rdesc, unused(1), unused(2), &
               vrow * vcol, gu, vrow * vcol, gv, 1, glats, glons)
  if (back(OV_W_TYPE) /= OV_VECTOR) call fail('type of the irregular set')
  if (back(OV_W_GRID_TYPE) /= 1) call fail('irregular grid type')
  if (back(OV_W_TITLE_LENGTH) /= 3 .or. rtitle /= 'Win') call fail('cut title')
  if (back(OV_W_PARAM_DESC_LENGTH) /= 0) call fail('empty desc')
  if (any(glats /= lats) .or. any(glons /= lons)) call fail('lats or lons')
  if (any(gu /= u)) call fail('u')
  if (any(gv /= v)) call fail('v')
  call ov_free(back)
  call ov_close(fd)
  print '(a)', 'ov_fortran_test: ok'

contains

  subroutine fail(what)
    character(len=*), intent(in) :: what
    print '(2a)', 'ov_fortran_test: wrong ', what
    stop 1
  end subroutine fail

end program ov_fortran_test
